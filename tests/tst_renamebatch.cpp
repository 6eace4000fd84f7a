// The batch without a window: what a drop adds, and how a run and its undo move the rows, on
// real folders.

#include "batch/renamebatch.h"
#include "rename/diskrename.h"
#include "tests/disklayout.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace qv;

class TestRenameBatch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void drop_data();
    void drop();
    void runAndUndo_data();
    void runAndUndo();
    void sizes_data();
    void sizes();
};

namespace {

// "relative path|status" of each row, in list order.
QStringList rows(const RenameBatch& batch, const QString& root)
{
    QStringList texts;
    for (int row = 0; row < batch.list().count(); ++row)
        texts.append(batch.list().text(row, ColPath).mid(root.size() + 1) + u'|' +
                     batch.list().text(row, ColStatus));
    return texts;
}

} // namespace

void TestRenameBatch::initTestCase()
{
    // The journal of these runs stays out of the user's data folder.
    QStandardPaths::setTestModeEnabled(true);
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
}

void TestRenameBatch::drop_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("duplicates");
    QTest::newRow("a folder gives its files, then itself")
        << QStringList{"f/", "f/b.txt", "f/sub/", "f/sub/c.txt", "a.txt"}
        << QStringList{"f/", "a.txt"} << false << QStringList{"a.txt", "f", "f/b.txt"}
        << QStringList{};
    QTest::newRow("subfolders, duplicates, a dangling link and a name that is not clean")
        << QStringList{"f/", "f/b.txt", "f/sub/", "f/sub/c.txt", "gone>nowhere"}
        << QStringList{"f/sub/../b.txt", "f", "gone", "f/sub/c.txt"} << true
        << QStringList{"f", "f/b.txt", "f/sub/c.txt"} << QStringList{"f/b.txt", "f/sub/c.txt"};
    // A folder's scan fills an empty list without the index of listed paths; the files dropped
    // after it are found listed before and after that index is made.
    QStringList files;
    for (int i = 10; i < 22; ++i)
        files.append(QStringLiteral("f/%1.txt").arg(i));
    QTest::newRow("a scan's files dropped again one by one")
        << (QStringList{"f/"} + files) << (QStringList{"f"} + files) << false
        << (QStringList{"f"} + files) << files;
}

void TestRenameBatch::drop()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, dropped);
    QFETCH(bool, recursive);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, duplicates);
    QTemporaryDir dir;
    createLayout(dir.path(), layout);
    RenameBatch batch;
    batch.list().setSortOrder(ColPath, false);
    AddOptions options;
    options.recursive = recursive;
    QStringList refused;
    AddHooks hooks;
    hooks.duplicate = [&](const QString& path, bool) {
        refused.append(path.mid(dir.path().size() + 1));
    };
    QStringList paths;
    for (const QString& item : dropped)
        paths.append(dir.filePath(item));
    batch.addPaths(paths, options, hooks);
    QStringList got;
    for (const QString& row : rows(batch, dir.path()))
        got.append(row.section(u'|', 0, 0));
    QCOMPARE(got, listed);
    QCOMPARE(refused, duplicates);
}

void TestRenameBatch::runAndUndo_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("gone");
    QTest::addColumn<Run>("run");
    QTest::addColumn<QStringList>("afterRun");
    QTest::addColumn<QStringList>("afterUndo");
    QTest::newRow("renamed, unchanged, taken, missing")
        << QStringList{"a.txt", "b.doc", "c.txt", "c.md", "d.txt"}
        << QStringList{"a.txt", "b.doc", "c.txt", "d.txt"} << QStringList{"d.txt"}
        << Run({}, "txt", "md")
        << QStringList{"a.md|Renamed", "b.doc|Added", "c.txt|File already exists", "d.txt|Added"}
        << QStringList{"a.txt|Restored", "b.doc|Added", "c.txt|File already exists", "d.txt|Added"};
    QTest::newRow("a folder carries its entries; a taken name keeps the file")
        << QStringList{"f/", "f/a.txt", "h/", "x-h"} << QStringList{"f", "f/a.txt", "h"}
        << QStringList{} << Run("x-%name%")
        << QStringList{"h|File already exists", "x-f|Renamed", "x-f/x-a.txt|Renamed"}
        << QStringList{"f|Restored", "f/a.txt|Restored", "h|File already exists"};
}

void TestRenameBatch::runAndUndo()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, gone);
    QFETCH(Run, run);
    QFETCH(QStringList, afterRun);
    QFETCH(QStringList, afterUndo);
    QTemporaryDir dir;
    createLayout(dir.path(), layout);
    RenameBatch batch;
    batch.setTexts(Texts::of(Language::English));
    batch.list().setSortOrder(ColPath, false);
    for (const QString& item : listed)
        batch.addPaths({dir.filePath(item)}, AddOptions());
    for (const QString& item : gone)
        QVERIFY(QFile::remove(dir.filePath(item)));
    RunRequest request;
    request.settings.maskActive = !run.mask.isEmpty();
    request.settings.mask = run.mask;
    request.settings.searchActive = !run.search.isEmpty();
    request.settings.searchOld = run.search;
    request.settings.searchNew = run.replace;
    request.settings.searchInExtension = true;
    QVERIFY(batch.openJournal());
    NoReplaceRenamer renamer;
    batch.run(request, renamer);
    QCOMPARE(rows(batch, dir.path()), afterRun);
    QVERIFY(RenameBatch::hasUndo());
    batch.undo(renamer);
    QCOMPARE(rows(batch, dir.path()), afterUndo);
}

QTEST_GUILESS_MAIN(TestRenameBatch)
void TestRenameBatch::sizes_data()
{
    QTest::addColumn<bool>("sizes");
    QTest::addColumn<bool>("sameAsEmpty");
    QTest::newRow("read") << true << false;
    // The command line shows no size: a look at each file would only cost.
    QTest::newRow("left out") << false << true;
}

void TestRenameBatch::sizes()
{
    QFETCH(bool, sizes);
    QFETCH(bool, sameAsEmpty);
    QTemporaryDir dir;
    createLayout(dir.path(), {"f/", "f/full.txt"});
    QFile empty(dir.filePath("f/empty.txt"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    RenameBatch batch;
    batch.list().setSortOrder(ColPath, false);
    AddOptions options;
    options.sizes = sizes;
    options.folders = false;
    batch.addPaths({dir.filePath("f")}, options, {});
    QCOMPARE(batch.list().count(), 2);
    QCOMPARE(batch.list().text(0, ColSize) == batch.list().text(1, ColSize), sameAsEmpty);
}

#include "tst_renamebatch.moc"
