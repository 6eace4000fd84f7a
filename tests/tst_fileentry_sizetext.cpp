#include "filelist/fileentry.h"
#include "filelist/sizetext.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

#include <unistd.h>

using namespace qv;

class TestFileEntrySizeText : public QObject
{
    Q_OBJECT

private slots:
    void entryForFile_data();
    void entryForFile();
    void entryForFolder_data();
    void entryForFolder();
    void sizeText_data();
    void sizeText();
    void sizeTextToNumber_data();
    void sizeTextToNumber();
    void sizeTextRoundTrip_data();
    void sizeTextRoundTrip();
    void fileSizeOf();
};

void TestFileEntrySizeText::entryForFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");

    QTest::newRow("two extensions") << "/d/archive.tar.gz"
                                    << "archive.tar"
                                    << "GZ";
    QTest::newRow("no extension") << "/d/README"
                                  << "README"
                                  << "";
    QTest::newRow("dot file") << "/d/.profile"
                              << ""
                              << "PROFILE";
    QTest::newRow("extension twice") << "/d/photo.jpg.jpg"
                                     << "photo.jpg"
                                     << "JPG";
    QTest::newRow("trailing full stop") << "/d/notes."
                                        << "notes"
                                        << "";
    QTest::newRow("full stop only in folder") << "/d/a.b/file"
                                              << "file"
                                              << "";
    QTest::newRow("mixed case extension") << "/d/Bild.JpEg"
                                          << "Bild"
                                          << "JPEG";
    QTest::newRow("backslash is part of the name") << "/d/a\\b.txt"
                                                   << "a\\b"
                                                   << "TXT";
}

void TestFileEntrySizeText::entryForFile()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, type);

    const FileEntry e = fileEntryFor(path, QStringLiteral("1.500 KB"), QStringLiteral("Added"));
    QCOMPARE(e.name, name);
    QCOMPARE(e.type, type);
    QCOMPARE(e.size, QStringLiteral("1.500 KB"));
    QCOMPARE(e.status, QStringLiteral("Added"));
    QCOMPARE(e.path, path);
}

void TestFileEntrySizeText::entryForFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    QTest::newRow("full stop kept") << "/d/My.Folder"
                                    << "My.Folder";
    QTest::newRow("trailing separator") << "/d/"
                                        << "";
    QTest::newRow("root") << "/"
                          << "";
    QTest::newRow("plain") << "/home/user/Fotos"
                           << "Fotos";
}

void TestFileEntrySizeText::entryForFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, name);

    const FileEntry e = folderEntryFor(path, QStringLiteral("Neu hinzugefügt"));
    QCOMPARE(e.name, name);
    QCOMPARE(e.type, QStringLiteral("DIR"));
    QCOMPARE(e.size, QString());
    QCOMPARE(e.status, QStringLiteral("Neu hinzugefügt"));
    QCOMPARE(e.path, path);
}

void TestFileEntrySizeText::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("text");

    const QChar dot(u'.');
    const QChar comma(u',');
    QTest::newRow("empty file") << qint64(0) << dot << "0.000 KB";
    QTest::newRow("64 bytes, half up") << qint64(64) << dot << "0.063 KB";
    QTest::newRow("one and a half") << qint64(1536) << dot << "1.500 KB";
    QTest::newRow("eight digits") << qint64(123456789) << dot << "120563.270 KB";
    QTest::newRow("one GiB") << qint64(1073741824) << dot << "1048576.000 KB";
    QTest::newRow("comma") << qint64(1536) << comma << "1,500 KB";

    // 320 / 1024 = 0.3125 exactly: half away from zero, not to even.
    QTest::newRow("half, even neighbour below") << qint64(320) << dot << "0.313 KB";
    QTest::newRow("half, negative") << qint64(-320) << dot << "-0.313 KB";
    QTest::newRow("just below half") << qint64(319) << dot << "0.312 KB";
    // 100000.125 KB exactly, rounded at the eighth significant digit.
    QTest::newRow("half at eighth digit") << qint64(102400128) << dot << "100000.130 KB";

    QTest::newRow("below 100000 KB") << qint64(102399999) << dot << "99999.999 KB";
    QTest::newRow("100000 KB") << qint64(102400000) << dot << "100000.000 KB";
    QTest::newRow("above 100000 KB") << qint64(102400010) << dot << "100000.010 KB";

    QTest::newRow("exponent") << qint64(123456789) * 1024 << dot << "1.2345679E008 KB";
    QTest::newRow("exponent, comma") << qint64(123456789) * 1024 << comma << "1,2345679E008 KB";
    QTest::newRow("exactly 1E008") << qint64(100000000) * 1024 << dot << "1E008 KB";
    QTest::newRow("rounded up to 1E008") << qint64(102399999488) << dot << "1E008 KB";
    QTest::newRow("last fixed value") << qint64(102399999487) << dot << "99999999.000 KB";
    QTest::newRow("trailing zeros dropped") << qint64(1536000000000) << dot << "1.5E009 KB";
    QTest::newRow("largest size") << std::numeric_limits<qint64>::max() << dot
                                  << "9.0071993E015 KB";

    QTest::newRow("unreadable") << qint64(-1) << dot << "-0.001 KB";
    QTest::newRow("unreadable, comma") << qint64(-1) << comma << "-0,001 KB";
}

void TestFileEntrySizeText::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QChar, separator);
    QFETCH(QString, text);

    QCOMPARE(SizeText(bytes, separator), text);
    // The size sort's number, formed without the text, must be the one read back from it.
    QCOMPARE(SizeNumber(bytes, separator), SizeTextToNumber(text, separator));
}

void TestFileEntrySizeText::sizeTextToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<double>("kb");

    QTest::newRow("empty") << "" << QChar(u'.') << 0.0;
    QTest::newRow("fixed") << "1.500 KB" << QChar(u'.') << 1.5;
    QTest::newRow("fixed, comma") << "120563,270 KB" << QChar(u',') << 120563.27;
    QTest::newRow("exponent") << "1.2345679E008 KB" << QChar(u'.') << 123456790.0;
    QTest::newRow("exponent, comma") << "1,2345679E008 KB" << QChar(u',') << 123456790.0;
    QTest::newRow("exponent without fraction") << "1E008 KB" << QChar(u'.') << 1e8;
    QTest::newRow("unreadable") << "-0.001 KB" << QChar(u'.') << -0.001;
}

void TestFileEntrySizeText::sizeTextToNumber()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(double, kb);

    QCOMPARE(SizeTextToNumber(text, separator), kb);
}

void TestFileEntrySizeText::sizeTextRoundTrip_data()
{
    QTest::addColumn<qint64>("bytes");

    QTest::newRow("small") << qint64(64);
    QTest::newRow("eight digits") << qint64(123456789);
    QTest::newRow("exponent") << qint64(123456789) * 1024;
    QTest::newRow("huge") << (qint64(1) << 50);
    QTest::newRow("unreadable") << qint64(-1);
}

void TestFileEntrySizeText::sizeTextRoundTrip()
{
    QFETCH(qint64, bytes);

    for (const QChar separator : {QChar(u'.'), QChar(u',')}) {
        const double kb = SizeTextToNumber(SizeText(bytes, separator), separator);
        const double exact = double(bytes) / 1024;
        // Three decimals or eight significant digits, whichever is coarser.
        const double tolerance = qMax(0.0005, std::abs(exact) * 5e-8) * (1 + 1e-9);
        QVERIFY2(std::abs(kb - exact) <= tolerance, qPrintable(SizeText(bytes, separator)));
    }
}

void TestFileEntrySizeText::fileSizeOf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString empty = dir.filePath(QStringLiteral("empty"));
    const QString data = dir.filePath(QStringLiteral("data bin"));
    QFile(empty).open(QIODevice::WriteOnly);
    QFile f(data);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1536, 'x'));
    f.close();
    const QString link = dir.filePath(QStringLiteral("link"));
    const QString dangling = dir.filePath(QStringLiteral("dangling"));
    QVERIFY(QFile::link(data, link));
    QVERIFY(::symlink("nowhere", QFile::encodeName(dangling).constData()) == 0);

    QCOMPARE(FileSizeOf(empty), qint64(0));
    QCOMPARE(FileSizeOf(data), qint64(1536));
    QCOMPARE(FileSizeOf(link), qint64(1536));
    QCOMPARE(FileSizeOf(dir.filePath(QStringLiteral("missing"))), qint64(-1));
    QCOMPARE(FileSizeOf(dangling), qint64(-1));
    QCOMPARE(FileSizeOf(data + u'/'), qint64(-1));
    QCOMPARE(FileSizeOf(QString()), qint64(-1));
    QCOMPARE(SizeText(FileSizeOf(dir.filePath(QStringLiteral("missing"))), u'.'),
             QStringLiteral("-0.001 KB"));
}

QTEST_APPLESS_MAIN(TestFileEntrySizeText)
#include "tst_fileentry_sizetext.moc"
