#include "filelist/filelistmodel.h"
#include "filelist/sizetext.h"
#include "rename/diskrename.h"
#include "tests/appfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

// The settings of one press of the rename button.
struct Run
{
    Run(QString mask_ = {}, QString search_ = {}, QString replace_ = {})
        : mask(std::move(mask_)), search(std::move(search_)), replace(std::move(replace_))
    {
    }
    QString mask;   // empty: mask not active
    QString search; // empty: search and replace not active
    QString replace;
    QString numStart = QStringLiteral("1");
};
Q_DECLARE_METATYPE(Run)

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

// Layout items: "name" is a file whose content is its own relative path, "name/" a folder,
// "name>target" a symbolic link.
void createLayout(const QString& root, const QStringList& layout)
{
    for (const QString& item : layout) {
        const QString path = root + u'/' + item;
        if (item.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(path));
        } else if (item.contains(u'>')) {
            const QStringList parts = item.split(u'>');
            QVERIFY(QFile::link(parts[1], root + u'/' + parts[0]));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(item.toUtf8());
        }
    }
}

// The disk below root in the layout form; a file whose content differs from its own name is
// "name=content", so that lost or swapped contents show.
QStringList diskLayout(const QString& root)
{
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString rel = QDir(root).relativeFilePath(info.filePath());
        if (info.isSymLink()) {
            found.append(rel + u'>' + info.symLinkTarget().section(u'/', -1));
        } else if (info.isDir()) {
            found.append(rel + u'/');
        } else {
            QFile file(info.filePath());
            if (!file.open(QIODevice::ReadOnly))
                return {QStringLiteral("unreadable: ") + rel};
            const QString content = QString::fromUtf8(file.readAll());
            found.append(content == rel ? rel : rel + u'=' + content);
        }
    }
    found.sort();
    return found;
}

void addToList(Tprog* prog, const QString& root, const QStringList& relPaths)
{
    prog->m_list->beginBulkUpdate();
    for (const QString& rel : relPaths) {
        const QString path = root + u'/' + rel;
        if (QFileInfo(path).isDir())
            prog->m_list->append(qv::folderEntryFor(path, prog->txt.txt_st_neu));
        else
            prog->m_list->append(
                qv::fileEntryFor(path, qv::SizeText(qv::FileSizeOf(path)), prog->txt.txt_st_neu));
    }
    prog->m_list->endBulkUpdate();
    prog->writeCountToLaAnzahl();
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
QStringList listState(Tprog* prog, const QString& root)
{
    QStringList rows;
    for (int row = 0; row < prog->m_list->count(); ++row) {
        const qv::FileEntry& e = prog->m_list->entry(row);
        QString status = e.status;
        if (status == prog->txt.txt_st_neu)
            status = QStringLiteral("new");
        else if (status == prog->txt.txt_st_umbenannt)
            status = QStringLiteral("renamed");
        else if (status == prog->txt.txt_st_existiert)
            status = QStringLiteral("exists");
        else if (status == prog->txt.txt_st_fehler)
            status = QStringLiteral("error");
        rows.append(QDir(root).relativeFilePath(e.path) + u':' + status);
    }
    return rows;
}

QStringList listPaths(Tprog* prog, const QString& root)
{
    QStringList paths;
    for (int row = 0; row < prog->m_list->count(); ++row)
        paths.append(QDir(root).relativeFilePath(prog->m_list->entry(row).path));
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
    prog->m_list->setSortOrder(0, descending);
    prog->m_list->sort();
    addToList(prog, root, listed);
    QCOMPARE(listPaths(prog, root), listed);
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
    QStringList state = listState(prog, root);
    state.sort();
    listAfter.sort();
    QCOMPARE(state, listAfter);
    QCOMPARE(prog->laspenden->text(), label);
    // Entries that left the list are no longer counted.
    QCOMPARE(prog->la_anzahl->text(), qv::countText(int(listAfter.size()), prog->txt));
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
    const QString sizeBefore = prog->m_list->text(0, qv::ColSize);
    applyRun(prog, {mask});
    prog->UmbenennenClick();

    const qv::FileEntry& e = prog->m_list->entry(0);
    QCOMPARE((QStringList{e.name, e.type, e.status}), columns);
    QCOMPARE(e.size, sizeBefore);
    QCOMPARE(e.path, dir.path() + u'/' + columns[0]);
    QVERIFY(QFileInfo::exists(e.path));
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
    QSet<QString> seen;
    for (int row = 0; row < prog->m_list->count(); ++row)
        seen.insert(prog->m_list->text(row, qv::ColStatus));
    QCOMPARE(seen, QSet<QString>(statuses.begin(), statuses.end()));
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
    for (int row = 0; row < prog->m_list->count(); ++row)
        QCOMPARE(prog->m_list->text(row, qv::ColStatus), prog->txt.txt_st_neu);
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
