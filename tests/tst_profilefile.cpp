#include "config/profilefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

using qv::ProfileError;
using qv::ProfileFile;
using qv::ProfileSnapshot;
using qv::ProfileUpdate;

namespace {

QByteArray utf16File(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        const quint16 unit = qToLittleEndian(c.unicode());
        bytes.append(reinterpret_cast<const char*>(&unit), 2);
    }
    return bytes;
}

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void writeSequence_data();
    void writeSequence();
    void updateWritesTheSameBytes_data() { writeSequence_data(); }
    void updateWritesTheSameBytes();
    void readString_data();
    void readString();
    void snapshotReadsTheSame_data() { readString_data(); }
    void snapshotReadsTheSame();
    void readInteger_data();
    void readInteger();
    void readBool_data();
    void readBool();
    void quoteRoundTrip_data();
    void quoteRoundTrip();
    void createIfMissing_data();
    void createIfMissing();
    void createFailure_data();
    void createFailure();
    void writeFailure_data();
    void writeFailure();
    void failedWriteRestores();
    void hostileContent_data();
    void hostileContent();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void putFile(const QString& name, const QByteArray& content) const;
    QByteArray fileContent(const QString& name) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestProfileFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestProfileFile::putFile(const QString& name, const QByteArray& content) const
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray TestProfileFile::fileContent(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

// Each write is "section|key|value"; a null initial content means the file does not exist.
void TestProfileFile::writeSequence_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<bool>("create");
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("new file/two sections")
        << "a.qvc" << QByteArray() << true << QStringList{"A|k|v", "A|k2|w", "B|x|1"}
        << utf16File("[A]\r\nk=v\r\nk2=w\r\n[B]\r\nx=1\r\n");
    QTest::newRow("new file/without create is 8-bit")
        << "a.qvc" << QByteArray() << false << QStringList{"A|k|ä"}
        << QByteArray("[A]\r\nk=\xC3\xA4\r\n");
    QTest::newRow("new file/x.jpg is 8-bit")
        << "x.jpg" << QByteArray() << true << QStringList{"A|k|ü", "B|n|1"}
        << QByteArray("[A]\r\nk=\xC3\xBC\r\n[B]\r\nn=1\r\n");
    QTest::newRow("existing file/create leaves it alone")
        << "a.qvc" << QByteArray("[A]\r\nk=1\r\n") << true << QStringList{"A|k|2"}
        << QByteArray("[A]\r\nk=2\r\n");
    QTest::newRow("update/in place keeps unknown lines")
        << "a.qvc" << utf16File("; note\r\n[X]\r\nq=1\r\n[A]\r\nz=0\r\nk=old\r\nj\r\n\r\n[Y]\r\n")
        << true << QStringList{"A|k|new"}
        << utf16File("; note\r\n[X]\r\nq=1\r\n[A]\r\nz=0\r\nk=new\r\nj\r\n\r\n[Y]\r\n");
    QTest::newRow("update/keeps the key's spelling and blanks")
        << "a.qvc" << QByteArray("[a]\r\n  KEY =old\r\n") << false << QStringList{"A|key|v"}
        << QByteArray("[a]\r\n  KEY =v\r\n");
    QTest::newRow("update/only the first of two equal keys")
        << "a.qvc" << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << false << QStringList{"A|k|3"}
        << QByteArray("[A]\r\nk=3\r\nK=2\r\n");
    QTest::newRow("update/only the first of two equal sections")
        << "a.qvc" << QByteArray("[A]\r\n[B]\r\n[a]\r\nk=1\r\n") << false << QStringList{"a|k|2"}
        << QByteArray("[A]\r\nk=2\r\n[B]\r\n[a]\r\nk=1\r\n");
    QTest::newRow("update/section header with blanks and trailing text")
        << "a.qvc" << QByteArray("  [ Sec ] junk\nk=1\n") << false << QStringList{"sec|K|2"}
        << QByteArray("  [ Sec ] junk\nk=2\n");
    QTest::newRow("insert/at end of section before the next")
        << "a.qvc" << utf16File("[A]\r\nk=1\r\n[B]\r\nm=2\r\n") << true << QStringList{"A|n|3"}
        << utf16File("[A]\r\nk=1\r\nn=3\r\n[B]\r\nm=2\r\n");
    QTest::newRow("insert/before blank lines trailing the section")
        << "a.qvc" << QByteArray("[A]\r\nk=1\r\n\r\n  \r\n[B]\r\n") << false << QStringList{"A|n|3"}
        << QByteArray("[A]\r\nk=1\r\nn=3\r\n\r\n  \r\n[B]\r\n");
    QTest::newRow("insert/into an empty section")
        << "a.qvc" << QByteArray("[A]\r\n[B]\r\n") << false << QStringList{"a|n|3"}
        << QByteArray("[A]\r\nn=3\r\n[B]\r\n");
    QTest::newRow("insert/after a last line without line end")
        << "a.qvc" << QByteArray("[A]\r\nk=1") << false << QStringList{"A|n|3"}
        << QByteArray("[A]\r\nk=1\r\nn=3\r\n");
    QTest::newRow("insert/file with CR line ends")
        << "a.qvc" << QByteArray("[A]\rk=1\r[B]\r") << false << QStringList{"A|n|3"}
        << QByteArray("[A]\rk=1\rn=3\r\n[B]\r");
    QTest::newRow("append/section after a last line without line end")
        << "a.qvc" << QByteArray("[A]\nk=1") << false << QStringList{"B|n|3"}
        << QByteArray("[A]\nk=1\r\n[B]\r\nn=3\r\n");
    QTest::newRow("append/to a byte order mark alone")
        << "a.qvc" << utf16File("") << false << QStringList{"B|n|3"} << utf16File("[B]\r\nn=3\r\n");
    QTest::newRow("append/keys before any section are not in it")
        << "a.qvc" << QByteArray("n=1\r\n") << false << QStringList{"B|n|3"}
        << QByteArray("n=1\r\n[B]\r\nn=3\r\n");
    QTest::newRow("utf-8/umlauts survive an update")
        << "a.qvc" << QByteArray("[A]\r\nt=Grüße\r\nk=1\r\n") << true << QStringList{"A|k|Öl"}
        << QByteArray("[A]\r\nt=Grüße\r\nk=Öl\r\n");
    QTest::newRow("utf-8/byte order mark kept and skipped")
        << "a.qvc" << QByteArray("\xEF\xBB\xBF[A]\r\nk=1\r\n") << false << QStringList{"A|k|2"}
        << QByteArray("\xEF\xBB\xBF[A]\r\nk=2\r\n");
    QTest::newRow("utf-8/invalid bytes elsewhere kept")
        << "a.qvc" << QByteArray("[A]\r\nx=\xFF\xC3\r\nk=1\r\n") << false << QStringList{"A|k|2"}
        << QByteArray("[A]\r\nx=\xFF\xC3\r\nk=2\r\n");
    QTest::newRow("utf-16/lone surrogate and odd last byte kept")
        << "a.qvc" << utf16File(QString("[A]\r\nx=") + QChar(0xD800) + "\r\n") + "\x41" << false
        << QStringList{"A|k|2"}
        << utf16File(QString("[A]\r\nx=") + QChar(0xD800) + "\r\nk=2\r\n") + "\x41";
    QTest::newRow("value/line breaks cannot forge entries")
        << "a.qvc" << QByteArray() << false << QStringList{"A|k|a\r\n[B]\nx=1"}
        << QByteArray("[A]\r\nk=a  [B] x=1\r\n");
}

void TestProfileFile::writeSequence()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, initial);
    QFETCH(bool, create);
    QFETCH(QStringList, writes);
    QFETCH(QByteArray, expected);

    if (!initial.isNull())
        putFile(fileName, initial);
    const ProfileFile profile(path(fileName));
    if (create)
        profile.createIfMissing();
    for (const QString& write : writes) {
        const QStringList parts = write.split('|');
        profile.writeString(parts[0], parts[1], parts[2]);
    }
    QCOMPARE(fileContent(fileName), expected);
}

// All writes of a save in one: the bytes are those of the same writes made one by one.
void TestProfileFile::updateWritesTheSameBytes()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, initial);
    QFETCH(bool, create);
    QFETCH(QStringList, writes);
    QFETCH(QByteArray, expected);

    if (!initial.isNull())
        putFile(fileName, initial);
    if (create)
        ProfileFile(path(fileName)).createIfMissing();
    const QByteArray before = fileContent(fileName);
    ProfileUpdate update(path(fileName));
    for (const QString& write : writes) {
        const QStringList parts = write.split('|');
        update.writeString(parts[0], parts[1], parts[2]);
    }
    QCOMPARE(fileContent(fileName), before);
    update.commit();
    QCOMPARE(fileContent(fileName), expected);
}

void TestProfileFile::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString cut(2047, 'x');
    QTest::newRow("plain") << QByteArray("[A]\r\nk=v\r\n") << "A"
                           << "k"
                           << "v";
    QTest::newRow("names ignore case") << QByteArray("[pbed]\r\nMaske=v\r\n") << "PBED"
                                       << "maske"
                                       << "v";
    QTest::newRow("umlaut names ignore case") << QByteArray("[ÄB]\r\nöl=v\r\n") << "äb"
                                              << "Öl"
                                              << "v";
    QTest::newRow("missing section") << QByteArray("[A]\r\nk=v\r\n") << "B"
                                     << "k"
                                     << "<def>";
    QTest::newRow("missing key") << QByteArray("[A]\r\nk=v\r\n") << "A"
                                 << "j"
                                 << "<def>";
    QTest::newRow("key in the next section") << QByteArray("[A]\r\n[B]\r\nk=v\r\n") << "A"
                                             << "k"
                                             << "<def>";
    QTest::newRow("key of a second equal section")
        << QByteArray("[A]\r\n[B]\r\n[A]\r\nk=v\r\n") << "A"
        << "k"
        << "<def>";
    QTest::newRow("key before any section") << QByteArray("k=v\r\n[A]\r\n") << "A"
                                            << "k"
                                            << "<def>";
    QTest::newRow("empty value") << QByteArray("[A]\r\nk=\r\n") << "A"
                                 << "k"
                                 << "";
    QTest::newRow("value with equals signs") << QByteArray("[A]\r\nk==a=b\r\n") << "A"
                                             << "k"
                                             << "=a=b";
    QTest::newRow("LF line ends") << QByteArray("[A]\nj=1\nk=v\n") << "A"
                                  << "k"
                                  << "v";
    QTest::newRow("CR line ends") << QByteArray("[A]\rj=1\rk=v") << "A"
                                  << "k"
                                  << "v";
    QTest::newRow("blanks and tabs trimmed") << QByteArray("[A]\r\n\t k \t= \t v w \t\r\n") << "A"
                                             << "k"
                                             << "v w";
    QTest::newRow("section without bracket is no header")
        << QByteArray("[A]\r\n[B\r\nk=v\r\n") << "A"
        << "k"
        << "v";
    QTest::newRow("single quotes removed once") << QByteArray("[A]\r\nk=''x''\r\n") << "A"
                                                << "k"
                                                << "'x'";
    QTest::newRow("double quotes removed once") << QByteArray("[A]\r\nk=\" x \"\r\n") << "A"
                                                << "k"
                                                << " x ";
    QTest::newRow("quotes after trimming") << QByteArray("[A]\r\nk=  'x'  \r\n") << "A"
                                           << "k"
                                           << "x";
    QTest::newRow("mixed quotes kept") << QByteArray("[A]\r\nk='x\"\r\n") << "A"
                                       << "k"
                                       << "'x\"";
    QTest::newRow("lone quote kept") << QByteArray("[A]\r\nk='\r\n") << "A"
                                     << "k"
                                     << "'";
    QTest::newRow("two quotes give empty") << QByteArray("[A]\r\nk=\"\"\r\n") << "A"
                                           << "k"
                                           << "";
    QTest::newRow("2047 kept") << "[A]\r\nk=" + cut.toLatin1() << "A"
                               << "k" << cut;
    QTest::newRow("2048 cut") << "[A]\r\nk=" + cut.toLatin1() + "yz"
                              << "A"
                              << "k" << cut;
    QTest::newRow("2047 in quotes kept whole") << "[A]\r\nk='" + cut.toLatin1() + "'"
                                               << "A"
                                               << "k" << cut;
    QTest::newRow("cut after trimming") << "[A]\r\nk=   " + cut.toLatin1() + "y"
                                        << "A"
                                        << "k" << cut;
    QTest::newRow("cut umlauts by character")
        << "[A]\r\nk=" + QString(3000, QChar(0xE4)).toUtf8() << "A"
        << "k" << QString(2047, QChar(0xE4));
    QTest::newRow("cut never splits a surrogate pair")
        << "[A]\r\nk=" + (QString(2046, 'x') + QString::fromUtf8("\xF0\x9F\x98\x80")).toUtf8()
        << "A"
        << "k" << QString(2046, 'x');
    QTest::newRow("utf-16") << utf16File("[A]\r\nk=Grüße\r\n") << "a"
                            << "K"
                            << "Grüße";
    QTest::newRow("utf-16 odd last byte ignored")
        << utf16File("[A]\r\nk=v") + QByteArray(1, '\0') << "A"
        << "k"
        << "v";
    QTest::newRow("utf-16 lone surrogate")
        << utf16File(QString("[A]\r\nk=") + QChar(0xDC00) + "z") << "A"
        << "k" << QString(QChar(0xDC00)) + "z";
    QTest::newRow("utf-16 read as such, not as bytes") << utf16File("[A]\r\nk=v\r\n") << "A"
                                                       << "k"
                                                       << "v";
    QTest::newRow("utf-8 byte order mark skipped") << QByteArray("\xEF\xBB\xBF[A]\nk=v\n") << "A"
                                                   << "k"
                                                   << "v";
    QTest::newRow("NUL in value kept") << QByteArray("[A]\r\nk=a\0b\r\n", 12) << "A"
                                       << "k" << QString("a") + QChar(0) + "b";
    QTest::newRow("invalid utf-8 replaced") << QByteArray("[A]\r\nk=a\xFF\r\n") << "A"
                                            << "k" << QString("a") + QChar(0xFFFD);
}

void TestProfileFile::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    putFile("r.qvc", content);
    QCOMPARE(ProfileFile(path("r.qvc")).readString(section, key, "<def>"), expected);
}

void TestProfileFile::snapshotReadsTheSame()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    putFile("r.qvc", content);
    const ProfileSnapshot snapshot(path("r.qvc"));
    QCOMPARE(snapshot.readString(section, key, "<def>"), expected);
    QCOMPARE(snapshot.readString("missing", key, "<def>"), "<def>");
}

void TestProfileFile::readInteger_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("decimal") << "12" << 12;
    QTest::newRow("negative") << "-5" << -5;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("hex 0x") << "0x1F" << 31;
    QTest::newRow("hex 0X") << "0X1f" << 31;
    QTest::newRow("hex dollar") << "$1F" << 31;
    QTest::newRow("hex all bits") << "0xFFFFFFFF" << -1;
    QTest::newRow("blanks trimmed") << " \t12 " << 12;
    QTest::newRow("quoted") << "'12'" << 12;
    QTest::newRow("int minimum") << "-2147483648" << int(-2147483647 - 1);
    QTest::newRow("int maximum") << "2147483647" << 2147483647;
    QTest::newRow("bad/0x alone") << "0x" << -99;
    QTest::newRow("bad/dollar alone") << "$" << -99;
    QTest::newRow("bad/trailing letter") << "12a" << -99;
    QTest::newRow("bad/empty") << "" << -99;
    QTest::newRow("bad/sign alone") << "-" << -99;
    QTest::newRow("bad/inner blank") << "1 2" << -99;
    QTest::newRow("bad/x without zero") << "x1F" << -99;
    QTest::newRow("bad/signed hex") << "-0x1F" << -99;
    QTest::newRow("bad/hex digit") << "0x1G" << -99;
    QTest::newRow("bad/beyond int") << "2147483648" << -99;
    QTest::newRow("bad/beyond 32 bits hex") << "0x100000000" << -99;
    QTest::newRow("bad/eleven digits") << "12345678901" << -99;
}

void TestProfileFile::readInteger()
{
    QFETCH(QString, value);
    QFETCH(int, expected);

    putFile("i.qvc", utf16File("[S]\r\nn=" + value + "\r\n"));
    const ProfileFile profile(path("i.qvc"));
    QCOMPARE(profile.readInteger("s", "N", -99), expected);
    QCOMPARE(profile.readInteger("s", "missing", -99), -99);
}

void TestProfileFile::readBool_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");

    QTest::newRow("0 over true") << "b=0" << true << false;
    QTest::newRow("1 over false") << "b=1" << false << true;
    QTest::newRow("any non-zero") << "b=-2" << false << true;
    QTest::newRow("not a number keeps true") << "b=yes" << true << true;
    QTest::newRow("not a number keeps false") << "b=yes" << false << false;
    QTest::newRow("missing keeps true") << "c=0" << true << true;
}

void TestProfileFile::readBool()
{
    QFETCH(QString, line);
    QFETCH(bool, def);
    QFETCH(bool, expected);

    putFile("b.qvc", "[S]\r\n" + line.toUtf8() + "\r\n");
    QCOMPARE(ProfileFile(path("b.qvc")).readBool("S", "b", def), expected);

    const ProfileFile written(path("w.qvc"));
    written.writeBool("S", "b", expected);
    written.writeInteger("S", "n", -42);
    QCOMPARE(fileContent("w.qvc"),
             QByteArray("[S]\r\nb=") + (expected ? "1" : "0") + "\r\nn=-42\r\n");
}

void TestProfileFile::quoteRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("single quotes") << "'x'"
                                   << "''x''"
                                   << "'x'";
    QTest::newRow("double quotes") << "\"x\""
                                   << "\"\"x\"\""
                                   << "\"x\"";
    QTest::newRow("two single quotes") << "''"
                                       << "''''"
                                       << "''";
    QTest::newRow("lone single quote") << "'"
                                       << "'"
                                       << "'";
    QTest::newRow("lone double quote") << "\""
                                       << "\""
                                       << "\"";
    QTest::newRow("mixed quotes") << "'x\""
                                  << "'x\""
                                  << "'x\"";
    QTest::newRow("quote at one end") << "'x"
                                      << "'x"
                                      << "'x";
    QTest::newRow("no quotes") << "%name%"
                               << "%name%"
                               << "%name%";
    QTest::newRow("leading and trailing blank lost") << " a b "
                                                     << " a b "
                                                     << "a b";
    QTest::newRow("blanks inside quotes kept") << "' a '"
                                               << "'' a ''"
                                               << "' a '";
}

void TestProfileFile::quoteRoundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QFETCH(QString, readBack);

    const ProfileFile profile(path("q.qvc"));
    profile.createIfMissing();
    profile.writeString("PBCB", "maske", ProfileFile::protectQuotes(text));
    QCOMPARE(fileContent("q.qvc"), utf16File("[PBCB]\r\nmaske=" + stored + "\r\n"));
    QCOMPARE(profile.readString("PBCB", "maske", "<def>"), readBack);
}

void TestProfileFile::createIfMissing_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray mark("\xFF\xFE", 2);
    QTest::newRow("qvc") << "Auto.qvc" << mark;
    QTest::newRow("no extension") << "settings" << mark;
    QTest::newRow("image name inside") << "x.jpg.qvc" << mark;
    QTest::newRow("jpeg-like") << "x.jpgx" << mark;
    QTest::newRow("bmp") << "x.bmp" << QByteArray("<missing>");
    QTest::newRow("GIF") << "x.GIF" << QByteArray("<missing>");
    QTest::newRow("Jpg") << "x.Jpg" << QByteArray("<missing>");
    QTest::newRow("jpeg") << "x.jpeg" << QByteArray("<missing>");
}

void TestProfileFile::createIfMissing()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, expected);

    ProfileFile(path(fileName)).createIfMissing();
    QCOMPARE(fileContent(fileName), expected);
    ProfileFile(path(fileName)).createIfMissing();
    QCOMPARE(fileContent(fileName), expected);
}

void TestProfileFile::createFailure_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("cause");

    QTest::newRow("folder missing") << "nofolder/a.qvc" << systemText(ENOENT);
    QTest::newRow("parent is a file") << "plain/a.qvc" << systemText(ENOTDIR);
}

void TestProfileFile::createFailure()
{
    QFETCH(QString, fileName);
    QFETCH(QString, cause);

    putFile("plain", "x");
    const QString fullName = path(fileName);
    try {
        ProfileFile(fullName).createIfMissing();
        QFAIL("no error");
    } catch (const ProfileError& error) {
        QCOMPARE(error.message(), "Cannot create file \"" + fullName + "\". " + cause);
    }
}

// The same failure whichever way the file is out of reach; the earlier content must survive.
void TestProfileFile::writeFailure_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("obstacle");

    QTest::newRow("write-protected file") << "ro.qvc"
                                          << "read-only";
    QTest::newRow("folder of the name") << "dir.qvc"
                                        << "folder";
    QTest::newRow("parent is a file") << "plain/a.qvc"
                                      << "none";
    QTest::newRow("folder missing") << "nofolder/a.qvc"
                                    << "none";
}

void TestProfileFile::writeFailure()
{
    QFETCH(QString, fileName);
    QFETCH(QString, obstacle);

    const QByteArray content = utf16File("[A]\r\nk=1\r\n");
    putFile("plain", "x");
    if (obstacle == "read-only") {
        putFile(fileName, content);
        QFile::setPermissions(path(fileName), QFile::ReadOwner | QFile::ReadGroup);
        QFile probe(path(fileName));
        if (probe.open(QIODevice::ReadWrite))
            QSKIP("this user can write read-only files (root)");
    } else if (obstacle == "folder") {
        QVERIFY(QDir(m_dir->path()).mkdir(fileName));
    }

    const ProfileFile profile(path(fileName));
    try {
        profile.writeString("A", "k", "2");
        QFAIL("no error");
    } catch (const ProfileError& error) {
        QCOMPARE(error.message(), "Unable to write to " + path(fileName));
    }
    QCOMPARE(fileContent("plain"), QByteArray("x"));
    if (obstacle == "read-only") {
        QCOMPARE(fileContent(fileName), content);
        QCOMPARE(profile.readInteger("A", "k", 0), 1);
    }
    if (obstacle == "folder")
        QVERIFY(QFileInfo(path(fileName)).isDir());
}

// A write that fails half-way (here: beyond the file size limit, as on a full disk) must not leave
// a cut file behind.
void TestProfileFile::failedWriteRestores()
{
    const QByteArray content = utf16File("[A]\r\nk=1\r\n[B]\r\nm=2\r\n");
    putFile("f.qvc", content);
    const ProfileFile profile(path("f.qvc"));

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limited = saved;
    limited.rlim_cur = content.size() + 10;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString message;
    try {
        profile.writeString("A", "k", QString(100, 'x'));
    } catch (const ProfileError& error) {
        message = error.message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);

    QCOMPARE(message, "Unable to write to " + path("f.qvc"));
    QCOMPARE(fileContent("f.qvc"), content);
}

// Whatever the bytes, reading ends with an answer and a write leaves a file that reads back.
void TestProfileFile::hostileContent_data()
{
    QTest::addColumn<QByteArray>("content");

    QByteArray garbage(65536, Qt::Uninitialized);
    quint32 seed = 7;
    for (char& c : garbage) {
        seed = seed * 1664525u + 1013904223u;
        c = char(seed >> 24);
    }
    QTest::newRow("binary garbage") << garbage;
    QTest::newRow("utf-16 garbage") << QByteArray("\xFF\xFE", 2) + garbage;
    QTest::newRow("byte order mark alone") << QByteArray("\xFF\xFE", 2);
    QTest::newRow("one odd byte after the mark") << QByteArray("\xFF\xFE[", 3);
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("NUL bytes") << QByteArray(100000, '\0');
    QTest::newRow("megabyte line") << "[A]\r\nk=" + QByteArray(4 << 20, '[');
    QTest::newRow("megabyte section name") << "[" + QByteArray(4 << 20, 'a') + "]";
    QTest::newRow("many CRs") << QByteArray(1 << 20, '\r');
    QTest::newRow("many headers") << QByteArray("[A]\n").repeated(1 << 18);
    QTest::newRow("lone surrogates") << utf16File(QString(1 << 16, QChar(0xD800)));
}

void TestProfileFile::hostileContent()
{
    QFETCH(QByteArray, content);

    putFile("h.qvc", content);
    const ProfileFile profile(path("h.qvc"));
    QCOMPARE(profile.readString("Z", "k", "<def>"), "<def>");
    profile.readInteger("A", "k", 0);
    profile.writeString("Z", "k", "Wert ä");
    profile.writeString("A", "k", "0x10");
    QCOMPARE(profile.readString("Z", "k", "<def>"), "Wert ä");
    QCOMPARE(profile.readInteger("A", "k", 0), 16);
    QVERIFY(fileContent("h.qvc").startsWith(content.left(2)));
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
