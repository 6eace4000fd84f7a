#include "rename/diskrename.h"
#include "tests/appfixture.h"
#include "tests/disklayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

namespace {

// Passes every rename on to the real one and notes how the window stood while it ran.
class WatchingRenamer : public qv::DiskRenamer
{
public:
    explicit WatchingRenamer(Tprog* window) : m_window(window) {}
    bool rename(const QString& from, const QString& to) override
    {
        sources.append(from);
        if (m_window->isEnabled() || m_window->qulist->updatesEnabled())
            windowOpenDuringRun = true;
        return m_real.rename(from, to);
    }
    QStringList sources;
    bool windowOpenDuringRun = false;

private:
    Tprog* m_window;
    qv::NoReplaceRenamer m_real;
};

// Lists the entries as the window's own adding does, and writes the count as the delete button
// does with nothing selected.
void addToList(Tprog* prog, const QString& root, const QStringList& relPaths)
{
    for (const QString& rel : relPaths) {
        const QString path = root + u'/' + rel;
        if (QFileInfo(path).isDir())
            prog->addfolderaselement2list(path);
        else
            prog->add2list(path);
    }
    prog->BitBtn3Click();
}

void applyRun(Tprog* prog, const Run& run)
{
    prog->act_maske->setChecked(!run.mask.isEmpty());
    prog->maske->setEditText(run.mask.isEmpty() ? QStringLiteral("%name%") : run.mask);
    prog->numstart->setEditText(run.numStart);
    prog->act_suchenersetzen->setChecked(!run.search.isEmpty());
    prog->suchenalt->setText(run.search);
    prog->suchenneu->setText(run.replace);
}

// The list as "relative path:status", status as "new", "renamed", "exists" or "error".
QStringList listState(const QString& root)
{
    const qv::MessageTexts texts = qv::MessageTexts::english();
    const QMap<QString, QString> statuses{{texts.txt_st_neu, QStringLiteral("new")},
                                          {texts.txt_st_umbenannt, QStringLiteral("renamed")},
                                          {texts.txt_st_existiert, QStringLiteral("exists")},
                                          {texts.txt_st_fehler, QStringLiteral("error")}};
    QStringList rows;
    for (int row = 0; row < rowCount(); ++row) {
        const QString status = cell(row, qv::ColStatus);
        rows.append(QDir(root).relativeFilePath(cell(row, qv::ColPath)) + u':' +
                    statuses.value(status, status));
    }
    return rows;
}

QStringList listPaths(const QString& root)
{
    QStringList paths;
    for (const QString& path : column(qv::ColPath))
        paths.append(QDir(root).relativeFilePath(path));
    return paths;
}

} // namespace

class BatchRenameTest : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void columnsOfRenamedEntries_data();
    void columnsOfRenamedEntries();
    void labelTexts_data();
    void labelTexts();
    void nothingToDo_data();
    void nothingToDo();
    void previewFollowsItsEntry();
};

void BatchRenameTest::run_data()
{
    QTest::addColumn<QStringList>("layout");
    // Listed entries in the list's order by name (checked before the runs).
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("deletedAfterAdding");
    QTest::addColumn<QList<Run>>("runs");
    QTest::addColumn<QStringList>("diskAfter");
    QTest::addColumn<QStringList>("listAfter");
    QTest::addColumn<QString>("label");
    // The decisions of a run are tested without a window (tst_renamerun); these rows check what
    // the window makes of them: statuses, paths, sorting, entries that leave the list.

    QTest::newRow("folder renamed: listed children follow, look-alike siblings stay")
        << QStringList{"pics/",     "pics/x.jpg",     "pics2/", "pics2/y.jpg",
                       "pics.old/", "pics.old/w.jpg", "pics!/", "pics!/v.jpg"}
        << QStringList{"pics", "pics!/v.jpg", "pics.old/w.jpg", "pics/x.jpg", "pics2/y.jpg"}
        << false << QStringList{} << QList<Run>{{"", "pics", "photos"}, {"", "x", "z"}}
        << QStringList{"photos/",   "photos/z.jpg=pics/x.jpg", "pics!/", "pics!/v.jpg",
                       "pics.old/", "pics.old/w.jpg",          "pics2/", "pics2/y.jpg"}
        << QStringList{"photos:renamed", "pics!/v.jpg:new", "pics.old/w.jpg:new",
                       "photos/z.jpg:renamed", "pics2/y.jpg:new"}
        << "1 files renamed";
    QTest::newRow("nested folders, outermost first")
        << QStringList{"top/", "top/mid/", "top/mid/f.txt"}
        << QStringList{"top", "top/mid", "top/mid/f.txt"} << true << QStringList{}
        << QList<Run>{{"%name%_n"}}
        << QStringList{"top_n/", "top_n/mid_n/", "top_n/mid_n/f_n.txt=top/mid/f.txt"}
        << QStringList{"top_n:renamed", "top_n/mid_n:renamed", "top_n/mid_n/f_n.txt:renamed"}
        << "3 files renamed";
    QTest::newRow("numbering by list order counts skipped and failed entries")
        << QStringList{"1.txt", "4.txt/", "a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}
        << QStringList{"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"} << false << QStringList{"b.txt"}
        << QList<Run>{{"%num%"}}
        << QStringList{"1.txt", "3.txt=c.txt", "4.txt/", "5.txt=e.txt", "a.txt", "d.txt"}
        << QStringList{"3.txt:renamed", "5.txt:renamed", "a.txt:exists", "b.txt:new", "d.txt:error"}
        << "2 files renamed (2 files could not be renamed)";
    QTest::newRow("sorted by name, mask z%name%: each entry once")
        << QStringList{"a.txt", "b.txt", "c.txt", "y.txt"}
        << QStringList{"a.txt", "b.txt", "c.txt", "y.txt"} << false << QStringList{}
        << QList<Run>{{"z%name%"}}
        << QStringList{"za.txt=a.txt", "zb.txt=b.txt", "zc.txt=c.txt", "zy.txt=y.txt"}
        << QStringList{"za.txt:renamed", "zb.txt:renamed", "zc.txt:renamed", "zy.txt:renamed"}
        << "4 files renamed";
    QTest::newRow("stale entry where a renamed folder now is")
        << QStringList{"pics/", "pics/x.jpg", "photos/", "photos/x.jpg"}
        << QStringList{"pics", "photos/x.jpg", "pics/x.jpg"} << false
        << QStringList{"photos/x.jpg", "photos/"} << QList<Run>{{"", "pics", "photos"}}
        << QStringList{"photos/", "photos/x.jpg=pics/x.jpg"}
        << QStringList{"photos:renamed", "photos/x.jpg:new"} << "1 files renamed";
}

void BatchRenameTest::run()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, listed);
    QFETCH(bool, descending);
    QFETCH(QStringList, deletedAfterAdding);
    QFETCH(QList<Run>, runs);
    QFETCH(QStringList, diskAfter);
    QFETCH(QStringList, listAfter);
    QFETCH(QString, label);

    AppFixture app(QStringLiteral("en"));
    Tprog* prog = app.prog();
    QTemporaryDir dir;
    const QString root = dir.path();
    createLayout(root, layout);
    fileList()->setSortOrder(0, descending);
    fileList()->sort();
    addToList(prog, root, listed);
    QCOMPARE(listPaths(root), listed);
    for (const QString& rel : deletedAfterAdding)
        QVERIFY(rel.endsWith(u'/') ? QDir(root).rmdir(rel) : QFile::remove(root + u'/' + rel));

    WatchingRenamer renamer(prog);
    prog->setDiskRenamer(&renamer);
    for (const Run& run : runs) {
        applyRun(prog, run);
        const int before = int(renamer.sources.size());
        prog->UmbenennenClick();
        const QStringList sources = renamer.sources.mid(before);
        QCOMPARE(QSet<QString>(sources.begin(), sources.end()).size(), sources.size());
    }
    prog->setDiskRenamer(nullptr);

    QCOMPARE(diskLayout(root), diskAfter);
    QStringList state = listState(root);
    state.sort();
    listAfter.sort();
    QCOMPARE(state, listAfter);
    QCOMPARE(prog->laspenden->text(), label);
    // Entries that left the list are no longer counted.
    QCOMPARE(prog->la_anzahl->text(),
             qv::countText(int(listAfter.size()), qv::MessageTexts::english()));
    QVERIFY(!renamer.windowOpenDuringRun);
    QVERIFY(prog->isEnabled());
    QVERIFY(prog->qulist->updatesEnabled());
    QVERIFY(prog->timerstopper->isActive());
}

void BatchRenameTest::columnsOfRenamedEntries_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("columns"); // name, type, size kept, status

    QTest::newRow("file keeps its extension in the name column")
        << "report.txt"
        << "%name%_1" << QStringList{"report_1.txt", "TXT", "Renamed"};
    QTest::newRow("file without extension") << "README"
                                            << "%name%_1" << QStringList{"README_1", "", "Renamed"};
    QTest::newRow("two full stops") << "a.tar.gz"
                                    << "b" << QStringList{"b.gz", "GZ", "Renamed"};
    QTest::newRow("folder") << "My.Folder/"
                            << "x" << QStringList{"x.Folder", "DIR", "Renamed"};
}

void BatchRenameTest::columnsOfRenamedEntries()
{
    QFETCH(QString, item);
    QFETCH(QString, mask);
    QFETCH(QStringList, columns);

    AppFixture app(QStringLiteral("en"));
    Tprog* prog = app.prog();
    QTemporaryDir dir;
    createLayout(dir.path(), {item});
    const QString rel = item.endsWith(u'/') ? item.chopped(1) : item;
    addToList(prog, dir.path(), {rel});
    const QString sizeBefore = cell(0, qv::ColSize);
    applyRun(prog, {mask});
    prog->UmbenennenClick();

    const QString path = dir.path() + u'/' + columns[0];
    columns.insert(2, sizeBefore);
    QCOMPARE(rowTexts(0), columns << path);
    QVERIFY(QFileInfo::exists(path));
}

void BatchRenameTest::labelTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("failing");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QStringList>("statuses");

    QTest::newRow("en, with failures")
        << "en" << 2 << "12 files renamed (2 files could not be renamed)"
        << QStringList{"Renamed", "File already exists"};
    QTest::newRow("de, with failures")
        << "de" << 2 << "12 Dateien umbenannt (2 Dateien konnten nicht umbenannt werden)"
        << QStringList{"Umbenannt", "Datei existiert"};
    QTest::newRow("en, none failing") << "en" << 0 << "12 files renamed" << QStringList{"Renamed"};
    QTest::newRow("de, none failing")
        << "de" << 0 << "12 Dateien umbenannt" << QStringList{"Umbenannt"};
}

void BatchRenameTest::labelTexts()
{
    QFETCH(QString, language);
    QFETCH(int, failing);
    QFETCH(QString, label);
    QFETCH(QStringList, statuses);

    AppFixture app(language);
    Tprog* prog = app.prog();
    QTemporaryDir dir;
    QStringList layout;
    QStringList listed;
    for (int i = 0; i < 12 + failing; ++i)
        listed.append(QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0')));
    layout = listed;
    // The first entries find a file of their new name.
    for (int i = 0; i < failing; ++i)
        layout.append(QStringLiteral("r_") + listed[i]);
    createLayout(dir.path(), layout);
    addToList(prog, dir.path(), listed);
    applyRun(prog, {"r_%name%"});
    prog->UmbenennenClick();

    QCOMPARE(prog->laspenden->text(), label);
    const QStringList seen = column(qv::ColStatus);
    QCOMPARE(QSet<QString>(seen.begin(), seen.end()),
             QSet<QString>(statuses.begin(), statuses.end()));
    QCOMPARE(int(QDir(dir.path()).entryList(QDir::Files).size()), 12 + 2 * failing);
}

void BatchRenameTest::nothingToDo_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("empty list") << QStringList{};
    QTest::newRow("all names unchanged") << QStringList{"a.txt", "b"};
}

void BatchRenameTest::nothingToDo()
{
    QFETCH(QStringList, listed);
    AppFixture app(QStringLiteral("en"));
    Tprog* prog = app.prog();
    QTemporaryDir dir;
    createLayout(dir.path(), listed);
    addToList(prog, dir.path(), listed);
    prog->laspenden->setText(QStringLiteral("before"));
    prog->timerstopper->stop();
    applyRun(prog, {"%name%"});
    prog->UmbenennenClick();

    QCOMPARE(prog->laspenden->text(), QStringLiteral("before"));
    QVERIFY(!prog->timerstopper->isActive());
    QVERIFY(prog->isEnabled());
    QCOMPARE(diskLayout(dir.path()), listed);
    for (const QString& status : column(qv::ColStatus))
        QCOMPARE(status, qv::MessageTexts::english().txt_st_neu);
}

void BatchRenameTest::previewFollowsItsEntry()
{
    AppFixture app(QStringLiteral("en"));
    Tprog* prog = app.prog();
    QTemporaryDir dir;
    createLayout(dir.path(), {"pics/", "pics/x.jpg", "y.jpg"});
    addToList(prog, dir.path(), {"pics", "pics/x.jpg", "y.jpg"});
    prog->vor_orig->setToolTip(dir.path() + QStringLiteral("/pics/x.jpg"));
    applyRun(prog, {"", "pics", "photos"});
    prog->UmbenennenClick();

    QCOMPARE(prog->vor_orig->toolTip(), dir.path() + QStringLiteral("/photos/x.jpg"));
    // The preview was refreshed from the new path: numbered and named from where it is now.
    QCOMPARE(prog->vor_out->toolTip(), dir.path() + QStringLiteral("/photos/x.jpg"));
}

QTEST_MAIN(BatchRenameTest)
#include "tst_batchrename.moc"
