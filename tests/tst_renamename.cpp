#include "rename/placeholders.h"
#include "rename/renamename.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace qv;

Q_DECLARE_METATYPE(qv::RenameSettings)

namespace {

const QDate fixedDay(2024, 3, 7);

RenameSettings maskSettings(const QString& mask, const QString& start = QStringLiteral("1"))
{
    RenameSettings s;
    s.maskActive = true;
    s.mask = mask;
    s.numStart = start;
    return s;
}

RenameSettings searchSettings(const QString& old, const QString& neu, bool inName, bool inExt)
{
    RenameSettings s;
    s.searchActive = true;
    s.searchOld = old;
    s.searchNew = neu;
    s.searchInName = inName;
    s.searchInExtension = inExt;
    return s;
}

} // namespace

class TestRenameName : public QObject
{
    Q_OBJECT

private slots:
    void mask_data();
    void mask();
    void zeroNum_data();
    void zeroNum();
    void search_data();
    void search();
    void letterCase_data();
    void letterCase();
    void fileValues_data();
    void fileValues();
    void previewPosition_data();
    void previewPosition();
    void manualListsEveryPlaceholder();
};

void TestRenameName::mask_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<RenameSettings>("settings");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("result");

    const RenameSettings defaults = maskSettings(QStringLiteral("%name%"));
    QTest::newRow("default keeps name") << "report.txt" << defaults << 0 << 1 << "report.txt";
    QTest::newRow("default keeps doubled extension")
        << "photo.jpg.jpg" << defaults << 0 << 1 << "photo.jpg.jpg";
    QTest::newRow("default keeps two extensions")
        << "archive.tar.gz" << defaults << 0 << 1 << "archive.tar.gz";
    QTest::newRow("full path gives file name only")
        << "/a/b/x.jpg" << defaults << 0 << 1 << "x.jpg";
    QTest::newRow("empty name") << "" << defaults << 0 << 1 << "";
    QTest::newRow("empty mask keeps extension") << "x.jpg" << maskSettings("") << 0 << 1 << ".jpg";
    QTest::newRow("inactive mask is ignored") << "x.jpg" << [] {
        RenameSettings s = maskSettings("%num%-%abs%");
        s.maskActive = false;
        return s;
    }() << 3 << 9 << "x.jpg";
    QTest::newRow("folder extension")
        << "My.Folder" << maskSettings("%name%_%num%") << 0 << 1 << "My_1.Folder";
    QTest::newRow("num from position")
        << "a.txt" << maskSettings("%name%-%num%") << 4 << 9 << "a-5.txt";
    QTest::newRow("abs") << "a.txt" << maskSettings("%num% of %abs%") << 1 << 12 << "2 of 12.txt";
    QTest::newRow("placeholder inside old name") << "A%num%" << defaults << 0 << 1 << "A1";
    QTest::newRow("date placeholders")
        << "a.txt" << maskSettings("%d%.%t%.%m%.%j%.%y%") << 0 << 1 << "07.07.03.2024.2024.txt";
    QTest::newRow("day then m%") << "a" << maskSettings("%d%m%") << 0 << 1 << "07m%";
    QTest::newRow("table order: num before abs")
        << "a" << maskSettings("%%num%abs%") << 0 << 5 << "%1abs%";
    QTest::newRow("num takes the percent abs would need")
        << "a" << maskSettings("%abs%num%") << 0 << 5 << "%abs1";
    QTest::newRow("name completes a placeholder")
        << "n.txt" << maskSettings("%%name%um%") << 0 << 1 << "1.txt";
    QTest::newRow("num text forms 0num") << "a" << maskSettings("%%num%num%", "0") << 0 << 5 << "0";
    QTest::newRow("start 007") << "a" << maskSettings("%num%", "007") << 0 << 1 << "7";
    QTest::newRow("start abc") << "a" << maskSettings("%num%", "abc") << 0 << 1 << "1";
    QTest::newRow("start empty") << "a" << maskSettings("%num%", "") << 0 << 1 << "1";
    QTest::newRow("start Custom..") << "a" << maskSettings("%num%", "Custom..") << 2 << 5 << "3";
    QTest::newRow("start Benutzer..")
        << "a" << maskSettings("%num%", "Benutzer..") << 0 << 5 << "1";
    QTest::newRow("start -3") << "a" << maskSettings("%num%", "-3") << 0 << 5 << "-3";
    QTest::newRow("start hex") << "a" << maskSettings("%num%", "$10") << 0 << 5 << "16";
    QTest::newRow("start at int max does not wrap")
        << "a" << maskSettings("%num%", "2147483647") << 1 << 5 << "2147483648";
    QTest::newRow("percent without placeholder")
        << "a.txt" << maskSettings("100%") << 0 << 1 << "100%.txt";
}

void TestRenameName::mask()
{
    QFETCH(QString, name);
    QFETCH(RenameSettings, settings);
    QFETCH(int, position);
    QFETCH(int, count);
    QFETCH(QString, result);

    QCOMPARE(RenameName(name, position, settings, count, fixedDay), result);
}

void TestRenameName::zeroNum_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<int>("digits");

    QTest::newRow("9 entries/start 1")
        << 9 << "1" << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"} << 0;
    QTest::newRow("10 entries/start 1")
        << 10 << "1" << QStringList{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}
        << 0;
    QTest::newRow("10 entries/start 0")
        << 10 << "0" << QStringList{"00", "01", "02", "03", "04", "05", "06", "07", "08", "09"}
        << 0;
    QTest::newRow("8 entries/start 5")
        << 8 << "5" << QStringList{"5", "6", "7", "8", "9", "10", "11", "12"} << 0;
    QTest::newRow("1 entry/start 0") << 1 << "0" << QStringList{"0"} << 0;
    QTest::newRow("100 entries/start 7") << 100 << "7" << QStringList{"007", "008"} << 0;
    QTest::newRow("12 entries/start -3")
        << 12 << "-3" << QStringList{"-03", "-02", "-01", "00"} << 0;
    QTest::newRow("digits 4 over 10 entries") << 10 << "1" << QStringList{"0001", "0002"} << 4;
    QTest::newRow("digits 1 over 100 entries") << 100 << "7" << QStringList{"7", "8"} << 1;
    QTest::newRow("5 entries/start -3")
        << 5 << "-3" << QStringList{"-3", "-2", "-1", "0", "1"} << 0;
}

void TestRenameName::zeroNum()
{
    QFETCH(int, count);
    QFETCH(QString, start);
    QFETCH(QStringList, numbers);
    QFETCH(int, digits);

    RenameSettings settings = maskSettings(QStringLiteral("%0num%"), start);
    settings.digits = digits;
    for (int i = 0; i < numbers.size(); ++i)
        QCOMPARE(RenameName(QStringLiteral("f.jpg"), i, settings, count, fixedDay),
                 numbers.at(i) + QStringLiteral(".jpg"));
}

void TestRenameName::search_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<RenameSettings>("settings");
    QTest::addColumn<QString>("result");

    QTest::newRow("name only") << "aXa.aaa" << searchSettings("a", "b", true, false) << "bXb.aaa";
    QTest::newRow("extension only")
        << "aXa.aaa" << searchSettings("a", "b", false, true) << "aXa.bbb";
    QTest::newRow("both") << "aXa.aaa" << searchSettings("a", "b", true, true) << "bXb.bbb";
    QTest::newRow("neither") << "aXa.aaa" << searchSettings("a", "b", false, false) << "aXa.aaa";
    QTest::newRow(".jpg to .png/name only")
        << "x.jpg" << searchSettings(".jpg", ".png", true, false) << "x.jpg";
    QTest::newRow(".jpg to .png/extension only")
        << "x.jpg" << searchSettings(".jpg", ".png", false, true) << "x.png";
    QTest::newRow(".jpg to .png/both")
        << "x.jpg" << searchSettings(".jpg", ".png", true, true) << "x.png";
    QTest::newRow("match across the full stop")
        << "ab.cd" << searchSettings("b.c", "_", true, true) << "a_d";
    QTest::newRow("no match across the full stop/name only")
        << "ab.cd" << searchSettings("b.c", "_", true, false) << "ab.cd";
    QTest::newRow("inactive search") << "aaa.txt" << [] {
        RenameSettings s = searchSettings("a", "b", true, true);
        s.searchActive = false;
        return s;
    }() << "aaa.txt";
    QTest::newRow("delete spaces")
        << "my file name.txt" << searchSettings(" ", "", true, false) << "myfilename.txt";
    QTest::newRow("search on the mask's output") << "old.txt" << [] {
        RenameSettings s = searchSettings("old", "new", true, false);
        s.maskActive = true;
        s.mask = QStringLiteral("old_%name%");
        return s;
    }() << "new_new.txt";
    QTest::newRow("search sees expanded number") << "x.txt" << [] {
        RenameSettings s = searchSettings("1", "one", true, false);
        s.maskActive = true;
        s.mask = QStringLiteral("%name%%num%");
        return s;
    }() << "xone.txt";

    const auto ignoringCase = [](RenameSettings s) {
        s.matchCase = false;
        return s;
    };
    const auto expression = [](const char* old, const char* neu, bool matchCase = true) {
        RenameSettings s = searchSettings(old, neu, true, false);
        s.searchRegex = true;
        s.matchCase = matchCase;
        return s;
    };
    QTest::newRow("ignoring case")
        << "ABa.txt" << ignoringCase(searchSettings("a", "x", true, false)) << "xBx.txt";
    QTest::newRow("ignoring case, a text by itself")
        << "A.txt" << ignoringCase(searchSettings("a", "a", true, false)) << "a.txt";
    QTest::newRow("expression with groups")
        << "Smith, John.txt" << expression("(\\w+), (\\w+)", "$2 \\1") << "John Smith.txt";
    QTest::newRow("expression: whole match, $$ and \\\\")
        << "ab.txt" << expression("b", "[$0$$\\\\]") << "a[b$\\].txt";
    QTest::newRow("expression: group beyond the count is empty")
        << "abc.txt" << expression("(b)", "<$2\\9>") << "a<>c.txt";
    QTest::newRow("expression: an empty match at every position")
        << "ab.txt" << expression("x*", "-") << "-a-b-.txt";
    QTest::newRow("expression ignoring case")
        << "abAB.txt" << expression("b", "_", false) << "a_A_.txt";
    QTest::newRow("expression: a backslash before a letter stays")
        << "a.txt" << expression("a", "\\n") << "\\n.txt";
}

void TestRenameName::search()
{
    QFETCH(QString, name);
    QFETCH(RenameSettings, settings);
    QFETCH(QString, result);

    QCOMPARE(RenameName(name, 0, settings, 3, fixedDay), result);
}

void TestRenameName::letterCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("letterCase");
    QTest::addColumn<bool>("extensionLower");
    QTest::addColumn<QString>("result");

    QTest::newRow("lower") << "My Photo.JPG" << int(LetterCase::Lower) << false << "my photo.JPG";
    QTest::newRow("upper, sharp s")
        << "straße.txt" << int(LetterCase::Upper) << false << "STRASSE.txt";
    QTest::newRow("first") << "hELLO wORLD.Txt" << int(LetterCase::First) << false
                           << "Hello world.Txt";
    QTest::newRow("first after digits")
        << "01 song.mp3" << int(LetterCase::First) << false << "01 Song.mp3";
    QTest::newRow("words") << "o'neil's 3d-best_of (live).mp3" << int(LetterCase::Words) << false
                           << "O'neil's 3d-Best_Of (Live).mp3";
    QTest::newRow("words, title case digraph")
        << "\u01C6emal.txt" << int(LetterCase::Words) << false << "\u01C5emal.txt";
    QTest::newRow("extension lower alone")
        << "IMG.JPG" << int(LetterCase::Keep) << true << "IMG.jpg";
    QTest::newRow("a name that is all extension")
        << ".BashRC" << int(LetterCase::Upper) << true << ".bashrc";
}

void TestRenameName::letterCase()
{
    QFETCH(QString, name);
    QFETCH(int, letterCase);
    QFETCH(bool, extensionLower);
    QFETCH(QString, result);

    // Through the mask's pieces and through a search, which form the name by different ways.
    RenameSettings settings = maskSettings(QStringLiteral("%name%"));
    settings.letterCase = LetterCase(letterCase);
    settings.extensionLower = extensionLower;
    QCOMPARE(NameForm(settings, 1, fixedDay).name(name, 0), result);
    settings.searchActive = true;
    settings.searchOld = QStringLiteral("\u0001");
    QCOMPARE(RenameName(name, 0, settings, 1, fixedDay), result);
}

// Each value's reading is checked against exiftool and mutagen with the metadata; here, how a
// name shows it, and what an entry without it is told.
void TestRenameName::fileValues_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("source");
    // The name, or the placeholder whose value is missing as "missing:<value>".
    QTest::addColumn<QString>("result");

    const int taken = int(DateSource::Taken);
    const auto missing = [](PlaceholderValue value) {
        return QStringLiteral("missing:%1").arg(int(value));
    };
    const QString stamp = QStringLiteral("%y%-%m%-%d% %h%.%min%.%s%");
    QTest::newRow("date taken and camera") << "mm-original.jpg" << stamp + " %camera%" << taken
                                           << "2019-05-01 12.34.56 Canon EOS 5D.jpg";
    QTest::newRow("German spellings, digitized only") << "mm-digitized-only.jpg"
                                                      << "%t%.%m%.%j%" << taken << "29.02.2008.jpg";
    QTest::newRow("zero date taken, digitized")
        << "zero-date-digitized.jpg" << stamp << taken << "2015-06-07 08.09.10.jpg";
    QTest::newRow("no date taken") << "no-exif.jpg"
                                   << "%h%" << taken << missing(PlaceholderValue::Hour);
    QTest::newRow("no date taken, else modified")
        << "no-exif.jpg" << stamp << int(DateSource::TakenOrModified) << "2001-02-03 04.05.06.jpg";
    QTest::newRow("modified, though taken") << "mm-original.jpg"
                                            << "%y%" << int(DateSource::Modified) << "2001.jpg";
    QTest::newRow("today's date needs no file")
        << "gone.jpg"
        << "%y%-%name%" << int(DateSource::Today) << "2024-gone.jpg";
    QTest::newRow("tags: track two digits, unsafe characters")
        << "acdc.mp3"
        << "%track% %artist% - %title% (%album%, %year%)" << taken
        << "06 AC_DC - Back in Black (Back_ In _Black_, 1980).mp3";
    QTest::newRow("no artist") << "untagged.mp3"
                               << "%title% %artist%" << taken << missing(PlaceholderValue::Title);
    QTest::newRow("a file that is gone") << "gone.mp3"
                                         << "%artist%" << taken << missing(PlaceholderValue::Name);
    QTest::newRow("a name holding a placeholder")
        << "x%camera%.jpg"
        << "%name%" << taken << missing(PlaceholderValue::Name);
}

void TestRenameName::fileValues()
{
    QFETCH(QString, file);
    QFETCH(QString, mask);
    QFETCH(int, source);
    QFETCH(QString, result);

    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        QProcess maker;
        maker.start(QStringLiteral("python3"),
                    {QStringLiteral(MEDIA_FILES), QStringLiteral("make"), dir.path()});
        if (!maker.waitForFinished(60000) || maker.exitCode() != 0)
            QSKIP("python3 could not write the photos and songs");
        // Only an ID3v1 tag, at the end of a frame.
        QFile song(dir.filePath(QStringLiteral("acdc.mp3")));
        QVERIFY(song.open(QIODevice::WriteOnly));
        const auto field = [](const char* text, int size) {
            return QByteArray(text).leftJustified(size, '\0');
        };
        song.write(QByteArray("\xff\xfb\x90\x00", 4) + QByteArray(413, '\0') + "TAG" +
                   field("  Back in Black ", 30) + field(" AC/DC", 30) +
                   field("Back: In <Black>", 30) + "1980" + QByteArray(29, '\0') + '\x06' + '\0');
        song.close();
        const QDateTime modified(QDate(2001, 2, 3), QTime(4, 5, 6, 7));
        for (const char* name : {"no-exif.jpg", "mm-original.jpg"}) {
            QFile photo(dir.filePath(QLatin1String(name)));
            QVERIFY(photo.open(QIODevice::ReadWrite));
            QVERIFY(photo.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        made = true;
    }
    RenameSettings settings = maskSettings(mask);
    settings.dateSource = DateSource(source);
    const QString path = dir.filePath(file);
    std::optional<PlaceholderValue> missing;
    const QString formed = RenameName(path, 0, settings, 1, fixedDay, {}, &missing);
    QCOMPARE(missing ? QStringLiteral("missing:%1").arg(int(*missing)) : formed, result);
    // The run's way, through the mask's pieces, forms the same.
    std::optional<PlaceholderValue> missingByPieces;
    QCOMPARE(NameForm(settings, 1, fixedDay).name(path, 0, {}, &missingByPieces), formed);
    QCOMPARE(missingByPieces, missing);
}

void TestRenameName::previewPosition_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("expectedCalls");
    QTest::addColumn<QString>("result");

    QTest::newRow("preview looks position up") << "%name%_%num%" << -1 << 3 << 1 << "a_4.txt";
    QTest::newRow("preview not listed gives start") << "%name%_%num%" << -1 << 0 << 1 << "a_1.txt";
    QTest::newRow("0num asks once") << "%num%-%0num%" << -1 << 3 << 1 << "4-04.txt";
    QTest::newRow("no number wanted") << "%name%_%abs%" << -1 << 3 << 0 << "a_12.txt";
    QTest::newRow("no percent at all") << "plain" << -1 << 3 << 0 << "plain.txt";
    QTest::newRow("date only") << "%d%" << -1 << 3 << 0 << "07.txt";
    QTest::newRow("listed position given") << "%name%_%num%" << 5 << 3 << 0 << "a_6.txt";
}

void TestRenameName::previewPosition()
{
    QFETCH(QString, mask);
    QFETCH(int, position);
    QFETCH(int, listed);
    QFETCH(int, expectedCalls);
    QFETCH(QString, result);

    int calls = 0;
    const auto lookup = [&] {
        ++calls;
        return listed;
    };
    QCOMPARE(
        RenameName(QStringLiteral("a.txt"), position, maskSettings(mask), 12, fixedDay, lookup),
        result);
    QCOMPARE(calls, expectedCalls);
}

// The manual is written by hand; each placeholder of the table is in it with its meaning.
void TestRenameName::manualListsEveryPlaceholder()
{
    QFile file(QStringLiteral(MANUAL_SOURCE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString manual =
        QString::fromUtf8(file.readAll())
            .replace(QStringLiteral("\\-"), QStringLiteral("-"))
            .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    for (const Placeholder& p : placeholders()) {
        QVERIFY2(manual.contains(QStringLiteral(".B ") + p.english), qPrintable(p.english));
        QVERIFY2(manual.contains(QStringLiteral(".B ") + p.german), qPrintable(p.german));
        QVERIFY2(manual.contains(u'(' + p.meaningEn + u')'), qPrintable(p.meaningEn));
    }
}

QTEST_GUILESS_MAIN(TestRenameName)
#include "tst_renamename.moc"
