// Randomised robustness driver for the settings-file reader and writer: feeds random and mutated
// contents to the parser and checks that every read returns, that a written value reads back
// unchanged and that a write leaves the other entries as they were.
//
//   fuzz_profilefile [count] [seed]
//
// Most inputs go through the in-memory functions the file functions are built on; every
// 32nd goes through a real file with the file functions themselves.

#include "config/profilefile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <array>
#include <cstdio>
#include <random>

using qv::ProfileFile;

namespace {

struct Entry
{
    const char* section;
    const char* key;
};

// Mixed spellings, so that case-insensitive matching is exercised too.
constexpr std::array<Entry, 8> Entries = {{{"A", "k"},
                                           {"PBED", "suchenalt"},
                                           {"pbcb", "MASKE"},
                                           {"SP", "PB"},
                                           {"sp", "pf"},
                                           {"AS", "N"},
                                           {"a", "K2"},
                                           {"Z", "z"}}};

const std::array<QString, 12> Values = {QStringLiteral("v"),
                                        QStringLiteral("'x'"),
                                        QStringLiteral("\"x\""),
                                        QStringLiteral("'"),
                                        QStringLiteral("''"),
                                        QStringLiteral(""),
                                        QStringLiteral("Grüße ÄÖÜ"),
                                        QStringLiteral("0x1F"),
                                        QStringLiteral("150,50,80,90,155,"),
                                        QStringLiteral("%name% \U0001F600"),
                                        QStringLiteral("-17"),
                                        QStringLiteral("a=b[c]")};

QByteArray toUtf16File(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.resize(2 + text.size() * 2);
    qToLittleEndian<quint16>(text.constData(), text.size(), bytes.data() + 2);
    return bytes;
}

QString designState()
{
    return QStringLiteral(
        "[PBPA]\r\nPanel6=1\r\nPanel7=1\r\nPanel1=1\r\nPanel2=1\r\npa1=0\r\npa2=0\r\nPanel3=1\r\n"
        "Panel4=1\r\n[PBED]\r\nquordner=\r\nsuchenalt=\r\nsuchenneu=\r\n[PBCH]\r\ncb_dat=1\r\n"
        "cb_dir=1\r\nact_maske=0\r\nact_suchenersetzen=0\r\ncb_suchendung=0\r\ncb_suchname=1\r\n"
        "COL=150,50,80,90,155,\r\n[PBCB]\r\nmaske=''%name%''\r\nnumstart=1\r\n[PFRB]\r\nalle=1\r\n"
        "auswahl=0\r\n[PFED]\r\nfilter=jpg,bmp,txt\r\n[PFCH]\r\nuv=1\r\n[SP]\r\nPF=0\r\nPB=800\r\n"
        "PH=600\r\nPT=10\r\nPL=-20\r\n[AS]\r\nN=1\r\nA=0\r\n[A]\r\nk=Grüße\r\n");
}

class Generator
{
public:
    explicit Generator(quint64 seed) : m_rng(seed)
    {
        m_utf16Base = toUtf16File(designState());
        m_utf8Base = designState().toUtf8();
    }

    int below(int n) { return int(m_rng() % quint64(n)); }

    // Lengths mostly short, sometimes a few kilobytes.
    int length() { return below(8) == 0 ? below(8192) : below(512); }

    QByteArray input(int& kind)
    {
        kind = below(100) == 0 && below(40) == 0 ? 5 : below(5);
        switch (kind) {
        case 0:
            return randomBytes(length());
        case 1:
            return toUtf16File(tokenText(length(), true));
        case 2:
            return tokenText(length(), false).toUtf8();
        case 3:
            return structured();
        case 4:
            return mutated();
        default:
            return longLine();
        }
    }

private:
    QByteArray randomBytes(int n)
    {
        QByteArray bytes(n, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(m_rng());
        if (below(4) == 0 && n >= 2) {
            bytes[0] = char(0xFF);
            bytes[1] = char(0xFE);
        }
        return bytes;
    }

    // Units drawn from the characters the parser cares about, plus surrogates and NULs.
    QString tokenText(int n, bool surrogates)
    {
        static const char16_t special[] = u"[]=\r\n \t'\"AkKPBSZz0x$1-";
        QString text;
        text.reserve(n);
        for (int i = 0; i < n; ++i) {
            const int pick = below(20);
            if (pick < 12)
                text += QChar(special[below(int(std::size(special)) - 1)]);
            else if (pick < 14 && surrogates)
                text += QChar(char16_t(0xD800 + below(0x800)));
            else if (pick < 15)
                text += QChar(0);
            else if (pick < 17)
                text += QChar(char16_t(0xC0 + below(0x40)));
            else
                text += QChar(char16_t(0x20 + below(0x5F)));
        }
        return text;
    }

    QString lineEnd()
    {
        switch (below(6)) {
        case 0:
            return QStringLiteral("\n");
        case 1:
            return QStringLiteral("\r");
        case 2:
            return QString();
        default:
            return QStringLiteral("\r\n");
        }
    }

    QString blanks()
    {
        static const QString choices[] = {QString(), QString(), QStringLiteral(" "),
                                          QStringLiteral("\t "), QStringLiteral("  ")};
        return choices[below(5)];
    }

    QByteArray structured()
    {
        QString text;
        const int lines = below(40);
        for (int i = 0; i < lines; ++i) {
            const Entry& entry = Entries[below(int(Entries.size()))];
            switch (below(6)) {
            case 0:
                text += blanks() + '[' + blanks() + entry.section + blanks() + ']' +
                        (below(4) == 0 ? QStringLiteral(" ;x]") : QString());
                break;
            case 1:
                text += '[' + QString::fromLatin1(entry.section);
                break;
            case 5:
                text += blanks();
                break;
            default:
                text += blanks() + entry.key + blanks() + '=' + blanks() +
                        Values[below(int(Values.size()))] + blanks();
                break;
            }
            text += lineEnd();
        }
        switch (below(4)) {
        case 0:
            return toUtf16File(text);
        case 1:
            return "\xEF\xBB\xBF" + text.toUtf8();
        default:
            return text.toUtf8();
        }
    }

    QByteArray mutated()
    {
        QByteArray bytes = below(2) == 0 ? m_utf16Base : m_utf8Base;
        const int count = 1 + below(8);
        for (int i = 0; i < count && !bytes.isEmpty(); ++i) {
            const int at = below(int(bytes.size()));
            switch (below(6)) {
            case 0:
                bytes[at] = char(bytes[at] ^ (1 << below(8)));
                break;
            case 1:
                bytes.insert(at, char(m_rng()));
                break;
            case 2:
                bytes.remove(at, below(16));
                break;
            case 3:
                bytes.insert(at, bytes.mid(below(int(bytes.size())), below(64)));
                break;
            case 4: {
                static const char breaks[] = {'\r', '\n', '\0', '[', ']', '='};
                bytes[at] = breaks[below(6)];
                break;
            }
            default:
                bytes.truncate(at);
                break;
            }
        }
        return bytes;
    }

    QByteArray longLine()
    {
        const int size = 1 << (16 + below(5));
        const char fill = "x[=\r\0"[below(5)];
        QByteArray bytes = below(2) == 0 ? m_utf8Base : m_utf16Base;
        if (bytes.startsWith("\xFF\xFE") && below(2) == 0)
            return bytes + toUtf16File(QString(size / 2, QChar(fill))).mid(2);
        return bytes + "[A]\r\nk=" + QByteArray(size, fill);
    }

    std::mt19937_64 m_rng;
    QByteArray m_utf16Base;
    QByteArray m_utf8Base;
};

bool sameEntry(const Entry& a, const Entry& b)
{
    return QString::fromLatin1(a.section).compare(QLatin1String(b.section), Qt::CaseInsensitive) ==
               0 &&
           QString::fromLatin1(a.key).compare(QLatin1String(b.key), Qt::CaseInsensitive) == 0;
}

void writeFile(const QString& fileName, const QByteArray& content)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
        std::exit(2);
    }
}

QByteArray readFile(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void report(const char* what, qint64 iteration, const QByteArray& input)
{
    std::fprintf(stderr, "iteration %lld: %s\ninput (%lld bytes, hex, first 512): %s\n", iteration,
                 what, qint64(input.size()), input.left(512).toHex().constData());
}

} // namespace

int main(int argc, char** argv)
{
    const qint64 count = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const quint64 seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20240601;

    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    const QString fileName = dir.filePath(QStringLiteral("fuzz.qvc"));

    Generator generator(seed);
    std::array<qint64, 6> kinds{};
    qint64 reads = 0;
    qint64 writes = 0;
    qint64 diskRounds = 0;
    qint64 bytes = 0;
    qint64 failures = 0;
    qint64 checksum = 0;

    QElapsedTimer timer;
    timer.start();
    for (qint64 i = 0; i < count; ++i) {
        int kind = 0;
        const QByteArray input = generator.input(kind);
        ++kinds[kind];
        bytes += input.size();
        const bool onDisk = i % 32 == 0;
        const ProfileFile profile(fileName);
        if (onDisk) {
            writeFile(fileName, input);
            ++diskRounds;
        }

        for (int r = 0; r < 3; ++r) {
            const Entry& entry = Entries[generator.below(int(Entries.size()))];
            const QString section = QString::fromLatin1(entry.section);
            const QString key = QString::fromLatin1(entry.key);
            if (onDisk) {
                const QString text = profile.readString(section, key, QStringLiteral("<none>"));
                const std::optional<QString> inMemory = ProfileFile::valueIn(input, section, key);
                if (text != inMemory.value_or(QStringLiteral("<none>"))) {
                    report("file and memory reads differ", i, input);
                    ++failures;
                }
                checksum += text.size() + profile.readInteger(section, key, 3) +
                            profile.readBool(section, key, true);
            } else {
                const std::optional<QString> text = ProfileFile::valueIn(input, section, key);
                checksum += text ? text->size() + ProfileFile::toInteger(*text, 3) : 1;
            }
            ++reads;
        }

        if (i % 8 != 0)
            continue;
        ++writes;
        const Entry& target = Entries[generator.below(int(Entries.size()))];
        const Entry& other = Entries[generator.below(int(Entries.size()))];
        const QString value = Values[generator.below(int(Values.size()))];
        const QString stored = ProfileFile::protectQuotes(value);
        const std::optional<QString> otherBefore =
            ProfileFile::valueIn(input, QLatin1String(other.section), QLatin1String(other.key));
        const QByteArray updated = ProfileFile::withValue(input, QLatin1String(target.section),
                                                          QLatin1String(target.key), stored);
        if (ProfileFile::valueIn(updated, QLatin1String(target.section),
                                 QLatin1String(target.key)) != value) {
            report("written value does not read back", i, input);
            ++failures;
        }
        if (!sameEntry(target, other) &&
            ProfileFile::valueIn(updated, QLatin1String(other.section), QLatin1String(other.key)) !=
                otherBefore) {
            report("write changed another entry", i, input);
            ++failures;
        }
        if (onDisk) {
            profile.writeString(QLatin1String(target.section), QLatin1String(target.key), stored);
            if (readFile(fileName) != updated) {
                report("file write differs from memory write", i, input);
                ++failures;
            }
        }
        if (failures > 20)
            break;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;

    std::printf("inputs: %lld (random bytes %lld, UTF-16 units %lld, UTF-8 units %lld, "
                "structured %lld, mutated %lld, long lines %lld)\n",
                qint64(kinds[0] + kinds[1] + kinds[2] + kinds[3] + kinds[4] + kinds[5]), kinds[0],
                kinds[1], kinds[2], kinds[3], kinds[4], kinds[5]);
    std::printf("reads: %lld, checked writes: %lld, rounds through a real file: %lld\n", reads,
                writes, diskRounds);
    std::printf("input bytes: %.1f MB, time: %.1f s, %.0f inputs/s, failures: %lld "
                "(checksum %lld, seed %llu)\n",
                bytes / 1e6, seconds,
                (kinds[0] + kinds[1] + kinds[2] + kinds[3] + kinds[4] + kinds[5]) / seconds,
                failures, checksum, seed);
    return failures == 0 ? 0 : 1;
}
