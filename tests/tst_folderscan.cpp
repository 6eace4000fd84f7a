#include "filelist/folderscan.h"
#include "tests/deeptree.h"
#include "text/pathbytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qv;

namespace {

// Removes a tree deeper than QTemporaryDir can remove, however the test ends.
struct DeepTreeCleanup
{
    QString root;
    ~DeepTreeCleanup() { deeptree::removeBelow(root); }
};

// Puts the process's limit of open descriptors back however the test ends.
struct DescriptorLimitRestorer
{
    rlimit saved;
    ~DescriptorLimitRestorer() { ::setrlimit(RLIMIT_NOFILE, &saved); }
};

} // namespace

class TestFolderScan : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void scan_data();
    void scan();
    void symlinks();
    void unreadableSubfolderSkipped();
    void nonUtf8NamesListed();
    void missingFolder();
    void deepTree_data();
    void deepTree();
    void pathsBeyondPathMax();
    void folderMovedDuringScan();
    void scanPatterns_data();
    void scanPatterns();
    void splitText_data();
    void splitText();
    void isValidFolderPath_data();
    void isValidFolderPath();

private:
    // Creates the files (and the folders of paths ending in '/') below the temporary folder.
    void makeTree(const QStringList& paths);
    // Scan result relative to the temporary folder.
    QStringList scanRelative(const QString& folder, const QStringList& patterns, bool recursive);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFolderScan::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFolderScan::makeTree(const QStringList& paths)
{
    for (const QString& relative : paths) {
        const QString full = m_dir->filePath(relative);
        if (relative.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(full));
            continue;
        }
        QVERIFY(QDir().mkpath(QFileInfo(full).path()));
        QFile file(full);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(full));
    }
}

QStringList TestFolderScan::scanRelative(const QString& folder, const QStringList& patterns,
                                         bool recursive)
{
    QStringList result;
    ScanFolder(result, m_dir->filePath(folder), patterns, recursive);
    const QString root = m_dir->path() + u'/';
    for (QString& path : result) {
        if (path.startsWith(root))
            path.remove(0, root.size());
    }
    return result;
}

void TestFolderScan::scan_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<QStringList>("expected");

    const QStringList pics{"pics/c.png", "pics/b.JPG", "pics/sub/d.jpg", "pics/a.jpg"};
    QTest::newRow("subfolders first") << pics << "pics" << QStringList{".jpg"} << true
                                      << QStringList{"pics/sub/d.jpg", "pics/a.jpg", "pics/b.JPG"};
    QTest::newRow("without subfolders") << pics << "pics" << QStringList{".jpg"} << false
                                        << QStringList{"pics/a.jpg", "pics/b.JPG"};
    QTest::newRow("folder given with separator")
        << pics << "pics/" << QStringList{".png"} << false << QStringList{"pics/c.png"};
    QTest::newRow("one pass per pattern")
        << pics << "pics" << QStringList{".jpg", ".JPG"} << false
        << QStringList{"pics/a.jpg", "pics/b.JPG", "pics/a.jpg", "pics/b.JPG"};
    QTest::newRow("patterns in their order")
        << pics << "pics" << QStringList{".png", ".jpg"} << false
        << QStringList{"pics/c.png", "pics/a.jpg", "pics/b.JPG"};
    QTest::newRow("all files take names without a dot and hidden files")
        << QStringList{"f/README", "f/.hidden", "f/x.y", "f/sub/"} << "f" << QStringList{"*.*"}
        << true << QStringList{"f/.hidden", "f/README", "f/x.y"};
    QTest::newRow("ending must match, not only contain")
        << QStringList{"f/jpg", "f/a.jpgx", "f/b.jpg"} << "f" << QStringList{".jpg"} << false
        << QStringList{"f/b.jpg"};
    QTest::newRow("code point order")
        << QStringList{"f/b", "f/B", "f/a", "f/Ä", "f/_"} << "f" << QStringList{"*.*"} << false
        << QStringList{"f/B", "f/_", "f/a", "f/b", "f/Ä"};
    QTest::newRow("deepest first, each subfolder whole")
        << QStringList{"r/x.jpg", "r/a/1.jpg", "r/a/b/2.jpg", "r/c/3.jpg"} << "r"
        << QStringList{".jpg"} << true
        << QStringList{"r/a/b/2.jpg", "r/a/1.jpg", "r/c/3.jpg", "r/x.jpg"};
    QTest::newRow("back up several levels to the next subfolder")
        << QStringList{"r/s/a/b/c/1", "r/s/a/d/2", "r/s/e/3", "r/s/4"} << "r" << QStringList{"*.*"}
        << true << QStringList{"r/s/a/b/c/1", "r/s/a/d/2", "r/s/e/3", "r/s/4"};
    QTest::newRow("subfolder named x.txt scanned")
        << QStringList{"r/x.txt/a.jpg", "r/b.jpg"} << "r" << QStringList{".jpg"} << true
        << QStringList{"r/x.txt/a.jpg", "r/b.jpg"};
    QTest::newRow("folder path holding .txt scanned")
        << QStringList{"notes.txt/2020/a.jpg"} << "notes.txt/2020" << QStringList{".jpg"} << true
        << QStringList{"notes.txt/2020/a.jpg"};
    QTest::newRow("unusual names")
        << QStringList{"u/with space.jpg", "u/Größe ü.jpg", "u/-dash.jpg", "u/new\nline.jpg",
                       "u/back\\slash:colon.jpg"}
        << "u" << QStringList{".jpg"} << false
        << QStringList{"u/-dash.jpg", "u/Größe ü.jpg", "u/back\\slash:colon.jpg", "u/new\nline.jpg",
                       "u/with space.jpg"};
    QTest::newRow("no patterns") << pics << "pics" << QStringList{} << true << QStringList{};
}

void TestFolderScan::scan()
{
    QFETCH(QStringList, tree);
    QFETCH(QString, folder);
    QFETCH(QStringList, patterns);
    QFETCH(bool, recursive);
    QFETCH(QStringList, expected);

    makeTree(tree);
    QCOMPARE(scanRelative(folder, patterns, recursive), expected);
}

void TestFolderScan::symlinks()
{
    makeTree({"r/a.jpg", "r/sub/b.jpg", "outside/c.jpg"});
    const QByteArray root = QFile::encodeName(m_dir->path());
    // A loop back to the top, a link to a folder elsewhere, a link to a file, a dangling link.
    QCOMPARE(::symlink("..", (root + "/r/sub/loop").constData()), 0);
    QCOMPARE(::symlink("../outside", (root + "/r/out").constData()), 0);
    QCOMPARE(::symlink("a.jpg", (root + "/r/link.jpg").constData()), 0);
    QCOMPARE(::symlink("gone.jpg", (root + "/r/dangling.jpg").constData()), 0);

    QCOMPARE(scanRelative("r", {".jpg"}, true),
             (QStringList{"r/sub/b.jpg", "r/a.jpg", "r/link.jpg"}));
}

void TestFolderScan::unreadableSubfolderSkipped()
{
    if (::geteuid() == 0)
        QSKIP("Permissions do not bind the superuser.");
    makeTree({"r/a/1.jpg", "r/locked/2.jpg", "r/z/3.jpg", "r/4.jpg"});
    const QString locked = m_dir->filePath("r/locked");
    QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
    const QStringList result = scanRelative("r", {".jpg"}, true);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(result, (QStringList{"r/a/1.jpg", "r/z/3.jpg", "r/4.jpg"}));
}

void TestFolderScan::nonUtf8NamesListed()
{
    makeTree({"r/good.jpg", "r/sub/"});
    const QByteArray root = QFile::encodeName(m_dir->path());
    const int fd = ::open((root + "/r/bad\xff.jpg").constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(fd >= 0);
    ::close(fd);
    QCOMPARE(::mkdir((root + "/r/dir\xfe").constData(), 0755), 0);
    const int inner = ::open((root + "/r/dir\xfe/inner.jpg").constData(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(inner >= 0);
    ::close(inner);

    QList<ScannedFile> found;
    ScanFolder(found, m_dir->filePath("r"), {"*.*"}, true);
    QByteArrayList bytes;
    for (const ScannedFile& file : found) {
        QCOMPARE(file.size, 0);
        bytes.append(pathBytes(file.path).mid(root.size()));
    }
    // QTemporaryDir cannot remove what it cannot name.
    ::unlink((root + "/r/bad\xff.jpg").constData());
    ::unlink((root + "/r/dir\xfe/inner.jpg").constData());
    ::rmdir((root + "/r/dir\xfe").constData());
    QCOMPARE(bytes, (QByteArrayList{"/r/dir\xfe/inner.jpg", "/r/bad\xff.jpg", "/r/good.jpg"}));
}

void TestFolderScan::missingFolder()
{
    QCOMPARE(scanRelative("nothing", {"*.*"}, true), QStringList{});
    QStringList result{"kept"};
    ScanFolder(result, QString(), {"*.*"}, true);
    QCOMPARE(result, QStringList{"kept"});
}

void TestFolderScan::deepTree_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<uint>("stackSize");
    QTest::addColumn<int>("descriptors");

    QTest::newRow("1500 levels on a 256 KiB stack") << 1500 << 256u * 1024 << 0;
    QTest::newRow("200 levels with 64 descriptors") << 200 << 0u << 64;
}

// Every level of a deep chain is listed, deepest first, however small the stack or the number of
// descriptors a process may open.
void TestFolderScan::deepTree()
{
    QFETCH(int, depth);
    QFETCH(uint, stackSize);
    QFETCH(int, descriptors);

    const QString root = m_dir->filePath(QStringLiteral("deep"));
    QVERIFY(QDir().mkdir(root));
    const DeepTreeCleanup cleanup{root};
    QVERIFY(deeptree::makeChain(root, depth, "d", "f"));

    QStringList result;
    const std::unique_ptr<QThread> thread(
        QThread::create([&] { ScanFolder(result, root, {QStringLiteral("*.*")}, true); }));
    thread->setStackSize(stackSize);
    {
        rlimit saved;
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
        const DescriptorLimitRestorer restorer{saved};
        rlimit lowered = saved;
        if (descriptors > 0)
            lowered.rlim_cur = rlim_t(descriptors);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
        thread->start();
        thread->wait();
    }
    QCOMPARE(result, deeptree::chainFiles(root, depth, QStringLiteral("d"), QStringLiteral("f")));
}

void TestFolderScan::pathsBeyondPathMax()
{
    const QString root = m_dir->filePath(QStringLiteral("long"));
    QVERIFY(QDir().mkdir(root));
    const DeepTreeCleanup cleanup{root};
    const QString folder(250, u'x');
    const int depth = 20;
    QVERIFY(deeptree::makeChain(root, depth, folder.toUtf8(), "f"));

    QList<ScannedFile> result;
    ScanFolder(result, root, {QStringLiteral("*.*")}, true);

    const QStringList paths = deeptree::chainFiles(root, depth, folder, QStringLiteral("f"));
    QVERIFY(paths.first().size() > 4096);
    QCOMPARE(result.size(), paths.size());
    for (int i = 0; i < paths.size(); ++i) {
        QCOMPARE(result[i].path, paths[i]);
        QCOMPARE(result[i].size, deeptree::content(depth - i).size());
    }
}

// The scan goes on in the folder it was in, not in the one a moved subfolder now lies in.
void TestFolderScan::folderMovedDuringScan()
{
    makeTree({"r/x/a/1", "r/x/b/2", "r/z/"});
    QStringList result;
    bool moved = false;
    ScanFolder(result, m_dir->filePath("r"), {QStringLiteral("*.*")}, true, [&] {
        if (!moved)
            moved = QDir().rename(m_dir->filePath("r/x/a"), m_dir->filePath("r/z/a"));
    });
    QVERIFY(moved);
    const QString root = m_dir->path() + u'/';
    QCOMPARE(result, (QStringList{root + "r/x/a/1", root + "r/x/b/2", root + "r/z/a/1"}));
}

void TestFolderScan::scanPatterns_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("patterns");

    QTest::newRow("all files ignore the filter") << true << "jpg" << QStringList{"*.*"};
    QTest::newRow("default filter")
        << false << "jpg,bmp,txt" << QStringList{".jpg", ".bmp", ".txt"};
    QTest::newRow("blank item dropped") << false << "jpg, ,bmp" << QStringList{".jpg", ".bmp"};
    QTest::newRow("blanks inside removed")
        << false << " j pg ,,png," << QStringList{".jpg", ".png"};
    QTest::newRow("nothing left") << false << " , ," << QStringList{};
    QTest::newRow("empty") << false << "" << QStringList{};
}

void TestFolderScan::scanPatterns()
{
    QFETCH(bool, all);
    QFETCH(QString, filter);
    QFETCH(QStringList, patterns);

    QCOMPARE(qv::scanPatterns(all, filter), patterns);
}

void TestFolderScan::splitText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("empty text") << "" << QStringList{""};
    QTest::newRow("no separator") << "abc" << QStringList{"abc"};
    QTest::newRow("empty pieces kept") << "a,,b" << QStringList{"a", "", "b"};
    QTest::newRow("trailing separator") << "a," << QStringList{"a", ""};
    QTest::newRow("separator only") << "," << QStringList{"", ""};
}

void TestFolderScan::splitText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, pieces);

    QCOMPARE(SplitText(text, u','), pieces);
}

void TestFolderScan::isValidFolderPath_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("root") << "/" << true;
    QTest::newRow("folder") << "/a/b" << true;
    QTest::newRow("trailing separator") << "/a/b/" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("relative") << "a/b" << false;
    QTest::newRow("colon in last piece") << "/a/b:c" << false;
    QTest::newRow("colon in earlier piece") << "/a:x/b" << true;
    QTest::newRow("backslash in last piece") << "/a/b\\c" << false;
    QTest::newRow("asterisk") << "/a/*" << false;
    QTest::newRow("two trailing separators") << "/a//" << false;
    QTest::newRow("windows path") << "C:\\a" << false;
}

void TestFolderScan::isValidFolderPath()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);

    QCOMPARE(IsValidFolderPath(text), valid);
}

QTEST_APPLESS_MAIN(TestFolderScan)
#include "tst_folderscan.moc"
