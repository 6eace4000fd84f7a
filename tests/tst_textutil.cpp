#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QTest>

using namespace qv;

class TestTextUtil : public QObject
{
    Q_OBJECT

private slots:
    void pathPieces_data();
    void pathPieces();
    void isNumber_data();
    void isNumber();
    void replaceAll_data();
    void replaceAll();
    void pathBytesRoundTrip_data();
    void pathBytesRoundTrip();
};

void TestTextUtil::pathPieces_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("base");

    QTest::newRow("full path") << "/a/b.txt"
                               << "b.txt"
                               << "/a/"
                               << ".txt"
                               << "b";
    QTest::newRow("two extensions") << "archive.tar.gz"
                                    << "archive.tar.gz"
                                    << ""
                                    << ".gz"
                                    << "archive.tar";
    QTest::newRow("dot file") << ".profile"
                              << ".profile"
                              << ""
                              << ".profile"
                              << "";
    QTest::newRow("trailing dot") << "abc."
                                  << "abc."
                                  << ""
                                  << "."
                                  << "abc";
    QTest::newRow("doubled extension") << "photo.jpg.jpg"
                                       << "photo.jpg.jpg"
                                       << ""
                                       << ".jpg"
                                       << "photo.jpg";
    QTest::newRow("no extension") << "/home/u/README"
                                  << "README"
                                  << "/home/u/"
                                  << ""
                                  << "README";
    QTest::newRow("dot only in a folder") << "/x.d/file"
                                          << "file"
                                          << "/x.d/"
                                          << ""
                                          << "file";
    QTest::newRow("root") << "/"
                          << ""
                          << "/"
                          << ""
                          << "";
    QTest::newRow("folder ending in separator") << "/a/b/"
                                                << ""
                                                << "/a/b/"
                                                << ""
                                                << "";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << ""
                           << "";
#ifndef Q_OS_WIN
    QTest::newRow("backslash is part of the name") << "/a/C:\\x\\b.txt"
                                                   << "C:\\x\\b.txt"
                                                   << "/a/"
                                                   << ".txt"
                                                   << "C:\\x\\b";
    QTest::newRow("colon is part of the name") << "/a/12:30.log"
                                               << "12:30.log"
                                               << "/a/"
                                               << ".log"
                                               << "12:30";
    QTest::newRow("dot before a backslash") << "/a/b.c\\d"
                                            << "b.c\\d"
                                            << "/a/"
                                            << ".c\\d"
                                            << "b";
#else
    QTest::newRow("drive path") << "C:\\a\\b.txt"
                                << "b.txt"
                                << "C:\\a\\"
                                << ".txt"
                                << "b";
    QTest::newRow("drive only") << "C:"
                                << ""
                                << "C:"
                                << ""
                                << "";
#endif
}

void TestTextUtil::pathPieces()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QFETCH(QString, ext);
    QFETCH(QString, base);

    QCOMPARE(fileName(path), name);
    QCOMPARE(folderPart(path), folder);
    QCOMPARE(extension(path), ext);
    QCOMPARE(baseName(path), base);
    QCOMPARE(folderPart(path) + fileName(path), path);
}

void TestTextUtil::isNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::addColumn<int>("value");

    QTest::newRow("decimal") << "12" << true << 12;
    QTest::newRow("leading space") << " 12" << true << 12;
    QTest::newRow("leading spaces and tab") << " \t 12" << true << 12;
    QTest::newRow("minus") << "-5" << true << -5;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("dollar hex") << "$1F" << true << 31;
    QTest::newRow("0x hex") << "0x10" << true << 16;
    QTest::newRow("0X hex") << "0X1a" << true << 26;
    QTest::newRow("x hex") << "x10" << true << 16;
    QTest::newRow("X hex") << "X10" << true << 16;
    QTest::newRow("negative hex") << "-$10" << true << -16;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("int max") << "2147483647" << true << 2147483647;
    QTest::newRow("int min") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("hex all ones wraps") << "$FFFFFFFF" << true << -1;
    QTest::newRow("hex top bit") << "0x80000000" << true << int(-2147483647 - 1);
    QTest::newRow("long run of zeros") << "000000000000000000001" << true << 1;

    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks only") << "   " << false << 0;
    QTest::newRow("lone minus") << "-" << false << 0;
    QTest::newRow("lone plus") << "+" << false << 0;
    QTest::newRow("trailing letter") << "12a" << false << 0;
    QTest::newRow("inner space") << "1 2" << false << 0;
    QTest::newRow("trailing space") << "12 " << false << 0;
    QTest::newRow("blank after sign") << "- 5" << false << 0;
    QTest::newRow("two signs") << "--5" << false << 0;
    QTest::newRow("int max plus one") << "2147483648" << false << 0;
    QTest::newRow("int min minus one") << "-2147483649" << false << 0;
    QTest::newRow("eleven digits") << "12345678901" << false << 0;
    QTest::newRow("hex beyond 32 bits") << "$100000000" << false << 0;
    QTest::newRow("dollar without digits") << "$" << false << 0;
    QTest::newRow("0x without digits") << "0x" << false << 0;
    QTest::newRow("hex digit in decimal") << "1F" << false << 0;
    QTest::newRow("prefix after zeros") << "00x10" << false << 0;
    QTest::newRow("decimal point") << "1.5" << false << 0;
    QTest::newRow("leading newline") << "\n12" << false << 0;
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662") << false << 0;
    QTest::newRow("fullwidth digits") << QString::fromUtf8("\uFF11\uFF12") << false << 0;
    QTest::newRow("embedded NUL") << QString::fromUtf16(u"12\0003", 4) << false << 0;
    QTest::newRow("custom item") << "Custom.." << false << 0;
}

void TestTextUtil::isNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(int, value);

    int read = 4711;
    QCOMPARE(IsNumber(text, &read), number);
    QCOMPARE(IsNumber(text), number);
    if (number) {
        QCOMPARE(read, value);
        QCOMPARE(StrToIntDef(text, 0), value);
        QCOMPARE(StrToIntDef(text, 1), value);
    } else {
        QCOMPARE(read, 4711);
        QCOMPARE(StrToIntDef(text, 0), 0);
        QCOMPARE(StrToIntDef(text, 1), 1);
    }
}

void TestTextUtil::replaceAll_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("neu");
    QTest::addColumn<QString>("result");

    QTest::newRow("no overlap") << "aaaa"
                                << "aa"
                                << "b"
                                << "bb";
    QTest::newRow("odd rest stays") << "aaaaa"
                                    << "aa"
                                    << "b"
                                    << "bba";
    QTest::newRow("empty old") << "abc"
                               << ""
                               << "x"
                               << "abc";
    QTest::newRow("old equals new") << "abc"
                                    << "b"
                                    << "b"
                                    << "abc";
    QTest::newRow("delete full stops") << "a.b.c"
                                       << "."
                                       << ""
                                       << "abc";
    QTest::newRow("empty source") << ""
                                  << "a"
                                  << "b"
                                  << "";
    QTest::newRow("no match") << "abc"
                              << "x"
                              << "y"
                              << "abc";
    QTest::newRow("inserted text not searched again") << "aXa"
                                                      << "a"
                                                      << "aa"
                                                      << "aaXaa";
    QTest::newRow("replacement forms a new match") << "aab"
                                                   << "ab"
                                                   << "b"
                                                   << "ab";
    QTest::newRow("longer replacement") << "a-b-c"
                                        << "-"
                                        << "--"
                                        << "a--b--c";
    QTest::newRow("case-sensitive") << "AaA"
                                    << "a"
                                    << "x"
                                    << "AxA";
    QTest::newRow("whole text") << "abc"
                                << "abc"
                                << ""
                                << "";
    QTest::newRow("old longer than source") << "ab"
                                            << "abc"
                                            << "x"
                                            << "ab";
    QTest::newRow("match at both ends") << "%n%x%n%"
                                        << "%n%"
                                        << "N"
                                        << "NxN";
}

void TestTextUtil::replaceAll()
{
    QFETCH(QString, source);
    QFETCH(QString, old);
    QFETCH(QString, neu);
    QFETCH(QString, result);

    QCOMPARE(ReplaceAll(source, old, neu), result);
}

void TestTextUtil::pathBytesRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("raw");
    const QString unknown(QChar::ReplacementCharacter);
    QTest::newRow("ASCII") << QByteArray("/a/b c.txt") << "/a/b c.txt" << false;
    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80") << "café 😀" << false;
    QTest::newRow("U+FFFD itself") << QByteArray("a\xef\xbf\xbd") << "a" + unknown << false;
    QTest::newRow("byte order mark")
        << QByteArray("\xef\xbb\xbfx") << QChar(0xfeff) + QStringLiteral("x") << false;
    QTest::newRow("Latin-1") << QByteArray("caf\xe9.txt") << "caf" + unknown + ".txt" << true;
    QTest::newRow("over-long slash") << QByteArray("a\xc0\xaf") << "a" + unknown + unknown << true;
    QTest::newRow("encoded surrogate")
        << QByteArray("\xed\xa0\x80") << unknown + unknown + unknown << true;
    QTest::newRow("cut short") << QByteArray("\xe2\x82") << unknown + unknown << true;
    QTest::newRow("past U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80z") << unknown + unknown + unknown + unknown + "z" << true;
    QTest::newRow("after a pair") << QByteArray("\xf0\x9f\x98\x80\xff") << "😀" + unknown << true;
}

// Every string of bytes has one text that leads back to it exactly.
void TestTextUtil::pathBytesRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QFETCH(bool, raw);
    const QString text = pathFromBytes(bytes);
    QCOMPARE(pathBytes(text), bytes);
    QCOMPARE(shownText(text), shown);
    QCOMPARE(hasRawBytes(text), raw);
}

QTEST_GUILESS_MAIN(TestTextUtil)
#include "tst_textutil.moc"
