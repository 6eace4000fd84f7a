#include "text/shortenpath.h"

#include <QTest>

using namespace qv;

namespace {

int sevenPerChar(const QString& text)
{
    return int(text.size()) * 7;
}

} // namespace

class TestShortenPath : public QObject
{
    Q_OBJECT

private slots:
    void shortenFolder_data();
    void shortenFolder();
    void shortenPath_data();
    void shortenPath();
    void everyStep();
};

void TestShortenPath::shortenFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("result");

    QTest::newRow("root") << "/"
                          << "";
    QTest::newRow("rooted two folders") << "/a/b/"
                                        << "/.../b/";
    QTest::newRow("rooted mark and folder") << "/.../b/"
                                            << "/.../";
    QTest::newRow("rooted one folder") << "/a/"
                                       << "/.../";
    QTest::newRow("rooted mark alone") << "/.../"
                                       << "/";
    QTest::newRow("relative") << "a/b/"
                              << ".../b/";
    QTest::newRow("relative mark alone") << ".../"
                                         << "";
    QTest::newRow("long names") << "/home/user/pictures/"
                                << "/.../user/pictures/";
    QTest::newRow("hidden folder keeps its next folder") << "/.ab/c/"
                                                         << "/.../c/";
    QTest::newRow("short hidden folder") << "/.a/"
                                         << "/.../";
    QTest::newRow("hidden folder behind the mark") << "/.../.config/x/"
                                                   << "/.../x/";
}

void TestShortenPath::shortenFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, result);
    QCOMPARE(ShortenFolder(folder), result);
}

void TestShortenPath::shortenPath_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxWidth");
    QTest::addColumn<QString>("result");

    // 7 px per character: 16 characters, 112 px.
    const QString path = QStringLiteral("/home/user/c.txt");
    QTest::newRow("fits") << path << 112 << path;
    QTest::newRow("first folder") << path << 111 << "/.../user/c.txt";
    QTest::newRow("first folder fits exactly") << path << 105 << "/.../user/c.txt";
    QTest::newRow("all folders") << path << 104 << "/.../c.txt";
    QTest::newRow("all folders fit exactly") << path << 70 << "/.../c.txt";
    QTest::newRow("root dropped") << path << 69 << ".../c.txt";
    QTest::newRow("file name alone") << path << 62 << "c.txt";
    QTest::newRow("file name wider than the room") << path << 7 << "c.txt";
    QTest::newRow("bare file name never shrinks") << "a-long-name.jpg" << 7 << "a-long-name.jpg";
    QTest::newRow("file in root") << "/c.txt" << 35 << "c.txt";
    QTest::newRow("relative") << "home/user/c.txt" << 104 << ".../user/c.txt";
    QTest::newRow("relative to file name") << "a/b/c.txt" << 62 << "c.txt";
    QTest::newRow("empty") << "" << 0 << "";
}

void TestShortenPath::shortenPath()
{
    QFETCH(QString, text);
    QFETCH(int, maxWidth);
    QFETCH(QString, result);
    QCOMPARE(ShortenPath(text, sevenPerChar, maxWidth), result);
    QVERIFY(result.endsWith(text.mid(text.lastIndexOf(u'/') + 1)));
}

// Every step of the shrinking is seen, in order, and measuring stops once the text fits.
void TestShortenPath::everyStep()
{
    QStringList measured;
    const auto recordWidth = [&](const QString& text) {
        measured.append(text);
        return int(text.size()) * 7;
    };
    QCOMPARE(ShortenPath(QStringLiteral("/a/b/c.txt"), recordWidth, 5 * 7), "c.txt");
    QCOMPARE(measured, (QStringList{"/a/b/c.txt", "/.../b/c.txt", "/.../c.txt", ".../c.txt"}));
}

QTEST_GUILESS_MAIN(TestShortenPath)
#include "tst_shortenpath.moc"
