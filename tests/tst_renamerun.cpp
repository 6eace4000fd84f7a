// The rename run on real folders, without any window: the entries in list order, the settings,
// and what the disk and the entries look like after one run or several in a row.

#include "rename/diskrename.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"
#include "rename/simulateddisk.h"
#include "tests/disklayout.h"
#include "text/textutil.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// Renames for real and notes every source, so that a test sees an entry tried twice.
class WatchingRenamer : public qv::DiskRenamer
{
public:
    bool rename(const QString& from, const QString& to) override
    {
        sources.append(from);
        return m_real.rename(from, to);
    }
    QStringList sources;

private:
    qv::NoReplaceRenamer m_real;
};

qv::RenameSettings settingsOf(const Run& run)
{
    qv::RenameSettings settings;
    settings.maskActive = !run.mask.isEmpty();
    settings.mask = run.mask;
    settings.numStart = run.numStart;
    settings.searchActive = !run.search.isEmpty();
    settings.searchOld = run.search;
    settings.searchNew = run.replace;
    return settings;
}

// A listed entry as the list keeps it between runs: its path and the status a run gave it.
struct Listed
{
    qv::RunEntry entry;
    QString status = QStringLiteral("new");
};

const char* statusOf(qv::RunOutcome outcome)
{
    switch (outcome) {
    case qv::RunOutcome::Renamed:
        return "renamed";
    case qv::RunOutcome::Exists:
        return "exists";
    case qv::RunOutcome::Error:
        return "error";
    default:
        return nullptr;
    }
}

// What became of an entry, for messages.
QString outcomeName(const qv::RunEntryResult& entry)
{
    static const char* const names[] = {"unchanged", "missing",   "renamed",  "exists",
                                        "error",     "not tried", "no value", "invalid expression"};
    QString text = QLatin1String(names[int(entry.outcome)]);
    if (entry.renamedAsFolder)
        text += QLatin1String(" as a folder");
    if (entry.stale)
        text += QLatin1String(", stale");
    return text;
}

QString kindName(qv::RunDisk::Kind kind)
{
    static const char* const names[] = {"missing", "file", "folder", "unknown"};
    return QLatin1String(names[int(kind)]);
}

// One run over the listed entries; statuses and paths follow as the list's would.
qv::RunResult runOnce(QList<Listed>& list, const Run& run, qv::DiskRenamer& renamer)
{
    QVector<qv::RunEntry> entries;
    for (const Listed& listed : std::as_const(list))
        entries.append(listed.entry);
    qv::LiveDisk disk(renamer);
    qv::RenameRun renameRun(entries, settingsOf(run), QDate(2024, 3, 7));
    renameRun.setResolveChains(run.chains);
    const qv::RunResult result = renameRun.execute(disk);
    QList<Listed> after;
    for (int i = 0; i < list.size(); ++i) {
        const qv::RunEntryResult& r = result.entries[i];
        if (r.stale)
            continue;
        Listed listed = list[i];
        listed.entry.path = r.path;
        if (const char* status = statusOf(r.outcome))
            listed.status = QLatin1String(status);
        after.append(listed);
    }
    list = after;
    return result;
}

} // namespace

class RenameRunTest : public QObject
{
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void readOnlyFolder();
    void progress();
    void chains_data();
    void chains();
    void failedCircleTurnsBack_data();
    void failedCircleTurnsBack();
    void folderCircleReportsRealPaths();
    void chainsTakeOneTryPerLink();
    void planEqualsRun_data();
    void planEqualsRun();
    void planThroughLinks_data();
    void planThroughLinks();
    void simulatedDiskFollowsRenames_data();
    void simulatedDiskFollowsRenames();
};

void RenameRunTest::run_data()
{
    QTest::addColumn<QStringList>("layout");
    // Listed entries in the order of the list.
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("deletedAfterAdding");
    QTest::addColumn<QList<Run>>("runs");
    QTest::addColumn<QStringList>("diskAfter");
    // The entries as "path:last status" after the runs; a status stays until a run changes it.
    QTest::addColumn<QStringList>("listAfter");
    QTest::addColumn<int>("renamed");
    QTest::addColumn<int>("failed");

    QTest::newRow("same new name: second refused")
        << QStringList{"a.txt", "b.txt"} << QStringList{"a.txt", "b.txt"} << QStringList{}
        << QList<Run>{{"same"}} << QStringList{"b.txt", "same.txt=a.txt"}
        << QStringList{"b.txt:exists", "same.txt:renamed"} << 1 << 1;
    QTest::newRow("target exists as a file")
        << QStringList{"a.txt", "c.txt"} << QStringList{"a.txt"} << QStringList{}
        << QList<Run>{{"", "a", "c"}} << QStringList{"a.txt", "c.txt"}
        << QStringList{"a.txt:exists"} << 0 << 1;
    QTest::newRow("target exists as an empty folder")
        << QStringList{"a.txt", "c.txt/"} << QStringList{"a.txt"} << QStringList{}
        << QList<Run>{{"", "a", "c"}} << QStringList{"a.txt", "c.txt/"}
        << QStringList{"a.txt:error"} << 0 << 1;
    QTest::newRow("target exists as a folder with files")
        << QStringList{"a.txt", "c.txt/", "c.txt/in"} << QStringList{"a.txt"} << QStringList{}
        << QList<Run>{{"", "a", "c"}} << QStringList{"a.txt", "c.txt/", "c.txt/in"}
        << QStringList{"a.txt:error"} << 0 << 1;
    QTest::newRow("folder onto an empty folder")
        << QStringList{"pics/", "pics/x", "photos/"} << QStringList{"pics"} << QStringList{}
        << QList<Run>{{"", "pics", "photos"}} << QStringList{"photos/", "pics/", "pics/x"}
        << QStringList{"pics:error"} << 0 << 1;
    QTest::newRow("swap a and b: both refused")
        << QStringList{"a", "b"} << QStringList{"a", "b"} << QStringList{}
        << QList<Run>{{"", "a", "b"}, {"", "b", "a"}} << QStringList{"a", "b"}
        << QStringList{"a:exists", "b:exists"} << 0 << 1;
    QTest::newRow("folder renamed: listed children follow, look-alike siblings stay")
        << QStringList{"pics/",     "pics/x.jpg",     "pics2/", "pics2/y.jpg",
                       "pics.old/", "pics.old/w.jpg", "pics!/", "pics!/v.jpg"}
        << QStringList{"pics", "pics!/v.jpg", "pics.old/w.jpg", "pics/x.jpg", "pics2/y.jpg"}
        << QStringList{} << QList<Run>{{"", "pics", "photos"}, {"", "x", "z"}}
        << QStringList{"photos/",   "photos/z.jpg=pics/x.jpg", "pics!/", "pics!/v.jpg",
                       "pics.old/", "pics.old/w.jpg",          "pics2/", "pics2/y.jpg"}
        << QStringList{"photos:renamed", "pics!/v.jpg:new", "pics.old/w.jpg:new",
                       "photos/z.jpg:renamed", "pics2/y.jpg:new"}
        << 1 << 0;
    QTest::newRow("nested folders, innermost first")
        << QStringList{"top/", "top/mid/", "top/mid/f.txt"}
        << QStringList{"top/mid/f.txt", "top/mid", "top"} << QStringList{}
        << QList<Run>{{"%name%_n"}}
        << QStringList{"top_n/", "top_n/mid_n/", "top_n/mid_n/f_n.txt=top/mid/f.txt"}
        << QStringList{"top_n/mid_n/f_n.txt:renamed", "top_n/mid_n:renamed", "top_n:renamed"} << 3
        << 0;
    QTest::newRow("nested folders, outermost first")
        << QStringList{"top/", "top/mid/", "top/mid/f.txt"}
        << QStringList{"top", "top/mid", "top/mid/f.txt"} << QStringList{}
        << QList<Run>{{"%name%_n"}}
        << QStringList{"top_n/", "top_n/mid_n/", "top_n/mid_n/f_n.txt=top/mid/f.txt"}
        << QStringList{"top_n:renamed", "top_n/mid_n:renamed", "top_n/mid_n/f_n.txt:renamed"} << 3
        << 0;
    QTest::newRow("numbering by list order counts skipped and failed entries")
        << QStringList{"1.txt", "4.txt/", "a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}
        << QStringList{"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"} << QStringList{"b.txt"}
        << QList<Run>{{"%num%"}}
        << QStringList{"1.txt", "3.txt=c.txt", "4.txt/", "5.txt=e.txt", "a.txt", "d.txt"}
        << QStringList{"3.txt:renamed", "5.txt:renamed", "a.txt:exists", "b.txt:new", "d.txt:error"}
        << 2 << 2;
    QTest::newRow("sorted by name, mask z%name%: each entry once")
        << QStringList{"a.txt", "b.txt", "c.txt", "y.txt"}
        << QStringList{"a.txt", "b.txt", "c.txt", "y.txt"} << QStringList{}
        << QList<Run>{{"z%name%"}}
        << QStringList{"za.txt=a.txt", "zb.txt=b.txt", "zc.txt=c.txt", "zy.txt=y.txt"}
        << QStringList{"za.txt:renamed", "zb.txt:renamed", "zc.txt:renamed", "zy.txt:renamed"} << 4
        << 0;
    QTest::newRow("case only") << QStringList{"a.txt"} << QStringList{"a.txt"} << QStringList{}
                               << QList<Run>{{"", "a", "A"}} << QStringList{"A.txt=a.txt"}
                               << QStringList{"A.txt:renamed"} << 1 << 0;
    QTest::newRow("256-byte name") << QStringList{"a.txt"} << QStringList{"a.txt"} << QStringList{}
                                   << QList<Run>{{QString(252, u'x')}} << QStringList{"a.txt"}
                                   << QStringList{"a.txt:error"} << 0 << 1;
    QTest::newRow("255-byte name is fine")
        << QStringList{"a.txt"} << QStringList{"a.txt"} << QStringList{}
        << QList<Run>{{QString(251, u'x')}} << QStringList{QString(251, u'x') + ".txt=a.txt"}
        << QStringList{QString(251, u'x') + ".txt:renamed"} << 1 << 0;
    QTest::newRow("name with a slash moves nothing")
        << QStringList{"a.txt", "sub/"} << QStringList{"a.txt"} << QStringList{}
        << QList<Run>{{"sub/%name%"}} << QStringList{"a.txt", "sub/"} << QStringList{"a.txt:error"}
        << 0 << 1;
    QTest::newRow("empty new name")
        << QStringList{"a"} << QStringList{"a"} << QStringList{} << QList<Run>{{"", "a", ""}}
        << QStringList{"a"} << QStringList{"a:error"} << 0 << 1;
    QTest::newRow("new name ..") << QStringList{"d/", "d/a"} << QStringList{"d/a"} << QStringList{}
                                 << QList<Run>{{".."}} << QStringList{"d/", "d/a"}
                                 << QStringList{"d/a:error"} << 0 << 1;
    QTest::newRow("source deleted after adding: skipped, status kept")
        << QStringList{"a.txt", "b.txt"} << QStringList{"a.txt", "b.txt"} << QStringList{"a.txt"}
        << QList<Run>{{"n%name%"}} << QStringList{"nb.txt=b.txt"}
        << QStringList{"a.txt:new", "nb.txt:renamed"} << 1 << 0;
    QTest::newRow("stale entry where a renamed folder now is")
        << QStringList{"pics/", "pics/x.jpg", "photos/", "photos/x.jpg"}
        << QStringList{"pics", "photos/x.jpg", "pics/x.jpg"}
        << QStringList{"photos/x.jpg", "photos/"} << QList<Run>{{"", "pics", "photos"}}
        << QStringList{"photos/", "photos/x.jpg=pics/x.jpg"}
        << QStringList{"photos:renamed", "photos/x.jpg:new"} << 1 << 0;
    QTest::newRow("stale entry where a renamed file now is: not renamed again")
        << QStringList{"a.txt", "a_1.txt"} << QStringList{"a.txt", "a_1.txt"}
        << QStringList{"a_1.txt"} << QList<Run>{{"%name%_%num%"}} << QStringList{"a_1.txt=a.txt"}
        << QStringList{"a_1.txt:renamed"} << 1 << 0;
    QTest::newRow("dangling link is renamed, not skipped")
        << QStringList{"link>nowhere"} << QStringList{"link"} << QStringList{}
        << QList<Run>{{"z%name%"}} << QStringList{"zlink>nowhere"} << QStringList{"zlink:renamed"}
        << 1 << 0;
    QTest::newRow("dangling link as target: refused as a file")
        << QStringList{"a", "b>nowhere"} << QStringList{"a"} << QStringList{}
        << QList<Run>{{"", "a", "b"}} << QStringList{"a", "b>nowhere"} << QStringList{"a:exists"}
        << 0 << 1;
}

void RenameRunTest::run()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, deletedAfterAdding);
    QFETCH(QList<Run>, runs);
    QFETCH(QStringList, diskAfter);
    QFETCH(QStringList, listAfter);
    QFETCH(int, renamed);
    QFETCH(int, failed);

    QTemporaryDir dir;
    const QString root = dir.path();
    createLayout(root, layout);
    QList<Listed> list;
    for (const QString& rel : listed) {
        const QString path = root + u'/' + rel;
        list.append(Listed{{path, QFileInfo(path).isDir()}});
    }
    for (const QString& rel : deletedAfterAdding)
        QVERIFY(rel.endsWith(u'/') ? QDir(root).rmdir(rel) : QFile::remove(root + u'/' + rel));

    WatchingRenamer renamer;
    qv::RunResult last;
    for (const Run& run : runs) {
        const qsizetype before = renamer.sources.size();
        last = runOnce(list, run, renamer);
        const QStringList sources = renamer.sources.mid(before);
        QCOMPARE(QSet<QString>(sources.begin(), sources.end()).size(), sources.size());
    }

    QCOMPARE(diskLayout(root), diskAfter);
    QStringList state;
    for (const Listed& l : std::as_const(list))
        state.append(QDir(root).relativeFilePath(l.entry.path) + u':' + l.status);
    state.sort();
    listAfter.sort();
    QCOMPARE(state, listAfter);
    QCOMPARE(last.renamed, renamed);
    QCOMPARE(last.failed, failed);
}

void RenameRunTest::readOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("root may rename inside a read-only folder");
    QTemporaryDir dir;
    createLayout(dir.path(), {"ro/", "ro/a.txt"});
    const QString folder = dir.path() + QStringLiteral("/ro");
    QList<Listed> list{Listed{{folder + QStringLiteral("/a.txt"), false}}};
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    qv::NoReplaceRenamer renamer;
    const qv::RunResult result = runOnce(list, {"b"}, renamer);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(diskLayout(dir.path()), (QStringList{"ro/", "ro/a.txt"}));
    QCOMPARE(result.entries[0].outcome, qv::RunOutcome::Error);
    QCOMPARE(result.failed, 1);
}

// Progress comes after each entry that was tried, with the counts so far.
void RenameRunTest::progress()
{
    QTemporaryDir dir;
    createLayout(dir.path(), {"a", "b", "c", "x_b"});
    QVector<qv::RunEntry> entries;
    for (const char* name : {"a", "b", "gone", "c"})
        entries.append({dir.path() + u'/' + QLatin1String(name), false});
    qv::NoReplaceRenamer renamer;
    qv::LiveDisk disk(renamer);
    QList<QPair<int, int>> seen;
    qv::RenameRun(entries, settingsOf({"x_%name%"}), QDate(2024, 3, 7))
        .execute(disk, [&](int renamed, int failed) { seen.append(qMakePair(renamed, failed)); });
    // "b" finds "x_b"; "gone" is missing and not reported.
    QCOMPARE(seen, (QList<QPair<int, int>>{{1, 0}, {1, 1}, {2, 1}}));
}

void RenameRunTest::chains_data()
{
    QTest::addColumn<QStringList>("listed"); // also the files on disk, in list order
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("chains");
    QTest::addColumn<QStringList>("diskAfter");
    QTest::addColumn<int>("renamed");

    // The list sorted by name puts img10 and img11 first; each new name is an old one.
    const QStringList shift{"img10", "img11", "img2", "img3", "img4",
                            "img5",  "img6",  "img7", "img8", "img9"};
    QTest::newRow("renumbering shift, chains resolved")
        << shift << "img%num%" << true
        << QStringList{"img1=img10", "img10=img9", "img2=img11", "img3=img2", "img4=img3",
                       "img5=img4",  "img6=img5",  "img7=img6",  "img8=img7", "img9=img8"}
        << 10;
    QTest::newRow("renumbering shift, one at a time")
        << shift << "img%num%" << false
        << QStringList{"img1=img10", "img10=img9", "img11", "img2", "img3",
                       "img4",       "img5",       "img6",  "img7", "img8"}
        << 2;
    QTest::newRow("three-way circle, chains resolved")
        << QStringList{"2", "3", "1"} << "%num%" << true << QStringList{"1=2", "2=3", "3=1"} << 3;
    QTest::newRow("three-way circle, one at a time")
        << QStringList{"2", "3", "1"} << "%num%" << false << QStringList{"1", "2", "3"} << 0;
    QTest::newRow("swap, chains resolved")
        << QStringList{"2", "1"} << "%num%" << true << QStringList{"1=2", "2=1"} << 2;
}

// With chains resolved every file ends under its new name with its own content; without, the
// run is the one-at-a-time run.
void RenameRunTest::chains()
{
    QFETCH(QStringList, listed);
    QFETCH(QString, mask);
    QFETCH(bool, chains);
    QFETCH(QStringList, diskAfter);
    QFETCH(int, renamed);

    QTemporaryDir dir;
    createLayout(dir.path(), listed);
    QList<Listed> list;
    for (const QString& name : std::as_const(listed))
        list.append(Listed{{dir.path() + u'/' + name, false}});
    Run run(mask);
    run.chains = chains;
    qv::NoReplaceRenamer renamer;
    const qv::RunResult result = runOnce(list, run, renamer);
    diskAfter.sort();
    QCOMPARE(diskLayout(dir.path()), diskAfter);
    QCOMPARE(result.renamed, renamed);
}

namespace {

// Refuses to move one file, as a file system might refuse any step; when `otherTakes` is set,
// another program then takes the name the circle's first member left, so that it cannot go
// back there.
class RefusingRenamer : public qv::NoReplaceRenamer
{
public:
    RefusingRenamer(QString refused, QString otherTakes)
        : m_refused(std::move(refused)), m_otherTakes(std::move(otherTakes))
    {
    }
    bool rename(const QString& from, const QString& to) override
    {
        ++calls;
        if (QFileInfo(from).fileName() != m_refused)
            return NoReplaceRenamer::rename(from, to);
        if (!m_otherTakes.isEmpty()) {
            QFile other(m_otherTakes);
            if (other.open(QIODevice::NewOnly))
                other.write("other");
        }
        return false;
    }
    int calls = 0;

private:
    QString m_refused;
    QString m_otherTakes;
};

} // namespace

void RenameRunTest::failedCircleTurnsBack_data()
{
    QTest::addColumn<QString>("refused");
    QTest::addColumn<bool>("otherTakesName");
    // Listed 2, 3, 1: 2 is parked, then 1 -> 3 and 3 -> 2 follow, then 2 leaves its parking.
    for (const char* refused : {"1", "3"}) {
        QTest::addRow("%s refused", refused) << QString::fromLatin1(refused) << false;
        QTest::addRow("%s refused, its name taken meanwhile", refused)
            << QString::fromLatin1(refused) << true;
    }
}

// A step of a circle that fails takes back the steps made: every member keeps its old name
// and content, nothing stays under a temporary name, and each member is refused. Where another
// program keeps a step from being taken back, every member's path says where its file is.
void RenameRunTest::failedCircleTurnsBack()
{
    QFETCH(QString, refused);
    QFETCH(bool, otherTakesName);
    QTemporaryDir dir;
    createLayout(dir.path(), {"1", "2", "3"});
    QList<Listed> list;
    for (const char* name : {"2", "3", "1"})
        list.append(Listed{{dir.path() + u'/' + QLatin1String(name), false}});
    Run run(QStringLiteral("%num%"));
    run.chains = true;
    RefusingRenamer renamer(refused,
                            otherTakesName ? dir.filePath(QStringLiteral("2")) : QString());
    const qv::RunResult result = runOnce(list, run, renamer);
    QCOMPARE(result.failed, 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(result.entries[i].outcome, qv::RunOutcome::Error);
        QFile file(result.entries[i].path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(result.entries[i].path));
        QCOMPARE(QString::fromUtf8(file.readAll()), QStringList({"2", "3", "1"})[i]);
    }
    if (!otherTakesName)
        QCOMPARE(diskLayout(dir.path()), (QStringList{"1", "2", "3"}));
}

// Two folders whose names differ in length swap: the files inside are reported where they are.
void RenameRunTest::folderCircleReportsRealPaths()
{
    QTemporaryDir dir;
    createLayout(dir.path(), {"10/", "10/x.txt", "9/", "9/y.txt"});
    QVector<qv::RunEntry> entries{{dir.filePath(QStringLiteral("10")), true},
                                  {dir.filePath(QStringLiteral("9")), true},
                                  {dir.filePath(QStringLiteral("10/x.txt")), false},
                                  {dir.filePath(QStringLiteral("9/y.txt")), false}};
    qv::RenameSettings settings = settingsOf(Run(QStringLiteral("%num%")));
    settings.numStart = QStringLiteral("9");
    qv::RenameRun run(entries, settings, QDate(2024, 3, 7));
    run.setResolveChains(true);
    qv::NoReplaceRenamer renamer;
    qv::LiveDisk disk(renamer);
    const qv::RunResult result = run.execute(disk);
    QCOMPARE(diskLayout(dir.path()),
             (QStringList{"10/", "10/12.txt=9/y.txt", "9/", "9/11.txt=10/x.txt"}));
    for (const qv::RunEntryResult& entry : result.entries) {
        QCOMPARE(entry.outcome, qv::RunOutcome::Renamed);
        QVERIFY2(QFileInfo::exists(entry.path), qPrintable(entry.path));
    }
}

// A chain is resolved in one pass: shifting many numbers by one tries each rename once, where
// trying every waiting entry again after each move took time quadratic in the chain's length.
void RenameRunTest::chainsTakeOneTryPerLink()
{
    QTemporaryDir dir;
    constexpr int count = 3000;
    QVector<qv::RunEntry> entries;
    for (int i = 1; i <= count; ++i) {
        const QString path = dir.filePath(QString::number(i));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        entries.append({path, false});
    }
    qv::RenameSettings settings = settingsOf(Run(QStringLiteral("%num%")));
    settings.numStart = QStringLiteral("2");
    qv::RenameRun run(entries, settings, QDate(2024, 3, 7));
    run.setResolveChains(true);
    RefusingRenamer renamer{QString(), QString()};
    qv::LiveDisk disk(renamer);
    QCOMPARE(run.execute(disk).renamed, count);
    QCOMPARE(renamer.calls, count);
    QCOMPARE(run.plan().entries.size(), count);
}

// The plan of a run, worked out against the disk as it is, tells for every entry exactly what
// the run then does: on many small random trees, with and without chains resolved.
void RenameRunTest::planEqualsRun_data()
{
    QTest::addColumn<quint32>("seed");
    // Symbolic links to the folders beside them, listed as well, with entries listed through
    // them: two paths then name one folder, and renaming a link leaves its folder where it is.
    QTest::addColumn<bool>("links");

    QTest::newRow("files and folders") << quint32(20261208) << false;
    QTest::newRow("links to listed folders") << quint32(20261209) << true;
    QTest::newRow("links to listed folders, other trees") << quint32(7) << true;
}

void RenameRunTest::planEqualsRun()
{
    QFETCH(quint32, seed);
    QFETCH(bool, links);

    QRandomGenerator random(seed);
    const QStringList names{"a",        "b", "a.txt", "b.txt", "img1",  "img2", "img10",
                            "x.tar.gz", "1", "2",     "3",     "c.TXT", "sub"};
    const QStringList masks{"%name%", "x%name%", "%num%", "img%num%", "%0num%", "a", "", "..",
                            "sub/%name%", QString(260, u'n'), "%name%%num%", "b",
                            // Values of the file: the text files have a modification time only.
                            "%y%%m%%d%%h%%min%%s%", "%artist%-%name%", "%0num%-%m%",
                            // Half a surrogate pair that keeps no byte: no disk name stands for it.
                            QStringLiteral("%name%") + QChar(0xdd00)};
    for (int tree = 0; tree < 600; ++tree) {
        QTemporaryDir dir;
        const QString root = dir.path();
        // Up to two folders, one inside the other, each with some files; some entries listed
        // that are not on disk.
        QStringList folders{root};
        if (random.bounded(2))
            folders.append(root + QStringLiteral("/f") + names[random.bounded(names.size())]);
        if (folders.size() > 1 && random.bounded(2))
            folders.append(folders[1] + QStringLiteral("/g"));
        for (const QString& folder : std::as_const(folders))
            QVERIFY(QDir().mkpath(folder));
        // Beside each folder a link to it, by a relative or an absolute target; now and then
        // a link that leads nowhere. Files are then also listed through the links.
        QStringList linkPaths;
        QStringList listingFolders = folders;
        if (links) {
            for (int i = 1; i < folders.size(); ++i) {
                const QString link = qv::folderPart(folders[i]) + QStringLiteral("l") +
                                     names[random.bounded(names.size())];
                const QString target = random.bounded(3) ? qv::fileName(folders[i]) : folders[i];
                if (!QFile::link(target, link))
                    continue;
                linkPaths.append(link);
                listingFolders.append(link);
                // The inner folder through the link to the outer one.
                if (i == 1 && folders.size() > 2)
                    listingFolders.append(link + QStringLiteral("/g"));
            }
            if (random.bounded(4) == 0) {
                const QString link =
                    root + QStringLiteral("/l") + names[random.bounded(names.size())];
                if (QFile::link(QStringLiteral("nowhere"), link)) {
                    linkPaths.append(link);
                    listingFolders.append(link);
                }
            }
        }
        QVector<qv::RunEntry> entries;
        QSet<QString> listed;
        const int count = 1 + int(random.bounded(links ? 12 : 8));
        for (int i = 0; i < count; ++i) {
            const QString folder = listingFolders[random.bounded(listingFolders.size())];
            const QString path = folder + u'/' + names[random.bounded(names.size())];
            if (random.bounded(5) != 0 && !QFileInfo::exists(path)) {
                QFile file(path);
                // Through a link that leads nowhere no file can be made.
                if (file.open(QIODevice::WriteOnly))
                    file.write(path.toUtf8());
                else
                    QVERIFY2(QFileInfo(folder).isSymLink(), qPrintable(path));
            }
            if (!listed.contains(path) && !QFileInfo(path).isDir()) {
                listed.insert(path);
                entries.append({path, false});
            }
        }
        // A folder is now and then listed as a file, as when a file became a folder since.
        for (int i = 1; i < folders.size(); ++i) {
            if (random.bounded(2))
                entries.insert(int(random.bounded(entries.size() + 1)),
                               {folders[i], random.bounded(4) != 0});
        }
        for (const QString& link : std::as_const(linkPaths)) {
            if (random.bounded(4) != 0)
                entries.insert(int(random.bounded(entries.size() + 1)),
                               {link, QFileInfo(link).isDir() && random.bounded(4) != 0});
        }
        qv::RenameSettings settings;
        settings.maskActive = true;
        settings.mask = masks[random.bounded(masks.size())];
        settings.numStart = QString::number(random.bounded(3));
        settings.searchActive = random.bounded(3) == 0;
        settings.searchOld = QStringLiteral("a");
        settings.searchNew = random.bounded(2) ? QStringLiteral("b") : QString();
        settings.searchRegex = random.bounded(3) == 0;
        if (settings.searchRegex)
            settings.searchOld = QStringList{"(a|x)", "[.]t", "^(.)", "("}[random.bounded(4)];
        settings.matchCase = random.bounded(2);
        settings.letterCase = qv::LetterCase(random.bounded(5));
        settings.extensionLower = random.bounded(2);
        settings.digits = int(random.bounded(4));
        settings.dateSource = qv::DateSource(random.bounded(4));
        qv::RenameRun run(entries, settings, QDate(2024, 3, 7));
        run.setResolveChains(random.bounded(2));

        // The plan keeps no paths, as on the command line: each entry's path follows from it.
        qv::RenameRun lean = run;
        lean.setKeepPaths(false);
        const qv::RunResult plan = lean.plan();
        qv::NoReplaceRenamer renamer;
        qv::LiveDisk disk(renamer);
        const qv::RunResult done = run.execute(disk);
        for (int i = 0; i < entries.size(); ++i) {
            const qv::RunEntryResult& p = plan.entries[i];
            const qv::RunEntryResult& d = done.entries[i];
            const QString planned = qv::pathAfter(entries[i].path, p);
            const QByteArray where =
                QStringLiteral("tree %1, entry %2 (%3, mask \"%4\"): plan %5 at %6, run %7 at %8")
                    .arg(tree)
                    .arg(i)
                    .arg(entries[i].path, settings.mask, outcomeName(p), planned, outcomeName(d),
                         d.path)
                    .toUtf8();
            QVERIFY2(p.outcome == d.outcome && p.newName == d.newName && p.stale == d.stale &&
                         p.renamedAsFolder == d.renamedAsFolder,
                     where.constData());
            QVERIFY2(planned == d.path || d.stale, where.constData());
        }
        QCOMPARE(plan.renamed, done.renamed);
        QCOMPARE(plan.failed, done.failed);
    }
}

void RenameRunTest::planThroughLinks_data()
{
    QTest::addColumn<QStringList>("layout");
    // Listed entries in the order of the list; those ending in '/' are listed as folders.
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("diskAfter");
    QTest::addColumn<int>("renamed");
    QTest::addColumn<int>("failed");

    // The files first and the folders last, as a folder given on the command line is listed.
    QTest::newRow("folder and a link to it, files listed through both")
        << QStringList{"f/", "f/a", "f/b", "l>f"}
        << QStringList{"f/a", "l/a", "f/b", "l/b", "f/", "l/"} << "x%num%"
        << QStringList{"x5/", "x5/x1=f/a", "x5/x3=f/b", "x6>f"} << 4 << 0;
    QTest::newRow("link renamed first: the folder stays, its files follow the folder")
        << QStringList{"f/", "f/a", "l>f"} << QStringList{"l/", "f/a", "l/a", "f/"} << "x%name%"
        << QStringList{"xf/", "xf/xa=f/a", "xl>f"} << 3 << 0;
    // In list order the first two find their new names still taken by the next ones. "l/" and
    // "f/" are one folder: the plan may not take the entries one folder path after the other.
    QTest::newRow("files of one folder under two folder paths meet")
        << QStringList{"f/", "f/1", "f/2", "f/a", "l>f"} << QStringList{"l/a", "f/1", "l/2"}
        << "%num%" << QStringList{"f/", "f/1", "f/3=f/2", "f/a", "l>f"} << 1 << 2;
    QTest::newRow("link by an absolute target")
        << QStringList{"f/", "f/a", "l>@f"} << QStringList{"l/a", "f/a"} << "b"
        << QStringList{"f/", "f/b=f/a", "l>f"} << 1 << 0;
    QTest::newRow("link leading nowhere, then to a renamed folder")
        << QStringList{"g/", "g/a", "g/b", "l>f"} << QStringList{"l/a", "g/", "l/b"} << "f"
        << QStringList{"f/", "f/a=g/a", "f/f=g/b", "l>f"} << 2 << 0;
}

// Entries listed through a symbolic link to a folder lie in that folder; renaming the link
// renames the link. The plan knows this as the run meets it.
void RenameRunTest::planThroughLinks()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, listed);
    QFETCH(QString, mask);
    QFETCH(QStringList, diskAfter);
    QFETCH(int, renamed);
    QFETCH(int, failed);

    QTemporaryDir dir;
    const QString root = dir.path();
    // "@" in a link's target stands for the folder of the tree.
    for (QString& item : layout)
        item.replace(u'@', root + u'/');
    createLayout(root, layout);
    QVector<qv::RunEntry> entries;
    for (const QString& rel : std::as_const(listed)) {
        const bool folder = rel.endsWith(u'/');
        entries.append({root + u'/' + (folder ? rel.chopped(1) : rel), folder});
    }
    qv::RenameRun run(entries, settingsOf({mask}), QDate(2024, 3, 7));
    const qv::RunResult plan = run.plan();
    qv::NoReplaceRenamer renamer;
    qv::LiveDisk disk(renamer);
    const qv::RunResult done = run.execute(disk);

    QStringList planned;
    QStringList happened;
    for (int i = 0; i < entries.size(); ++i) {
        planned.append(listed[i] + u':' + outcomeName(plan.entries[i]));
        happened.append(listed[i] + u':' + outcomeName(done.entries[i]));
    }
    QCOMPARE(planned, happened);
    QCOMPARE(diskLayout(root), diskAfter);
    QCOMPARE(done.renamed, renamed);
    QCOMPARE(done.failed, failed);
    QCOMPARE(plan.renamed, renamed);
    QCOMPARE(plan.failed, failed);
}

void RenameRunTest::simulatedDiskFollowsRenames_data()
{
    QTest::addColumn<QStringList>("layout");
    // "from>to", one after the other.
    QTest::addColumn<QStringList>("renames");
    // Paths whose kind is compared after the renames.
    QTest::addColumn<QStringList>("asked");

    QTest::newRow("file onto the old name of a moved folder")
        << QStringList{"2/", "2/x", "3"} << QStringList{"2>1", "3>2", "1>2", "1/x>1/y"}
        << QStringList{"1", "2", "3", "1/x", "1/y", "2/x"};
    QTest::newRow("link renamed: the folder stays")
        << QStringList{"f/", "f/a", "l>f"} << QStringList{"l>m", "l/a>l/b", "m/a>m/b"}
        << QStringList{"l", "m", "f", "l/b", "m/a", "m/b", "f/b"};
    QTest::newRow("folder renamed under its link")
        << QStringList{"f/", "f/a", "l>f"} << QStringList{"f>g", "l/a>l/b", "g/a>g/c"}
        << QStringList{"l", "l/a", "g/a", "g/c", "f"};
    QTest::newRow("link to a link")
        << QStringList{"f/", "f/a", "l>f", "m>l"} << QStringList{"m/a>m/b", "l>k", "m/b>m/c"}
        << QStringList{"m", "m/b", "f/b", "k/b", "l"};
    QTest::newRow("link up the tree")
        << QStringList{"f/", "f/a", "f/u>.."} << QStringList{"f/u/f/a>f/u/f/b", "f/u/f>f/u/g"}
        << QStringList{"f/a", "g/b", "g/u", "g/u/g/b", "f/u"};
    QTest::newRow("a link comes to lead somewhere")
        << QStringList{"g/", "g/a", "l>f"} << QStringList{"l/a>l/b", "g>f", "l/a>l/b"}
        << QStringList{"l", "l/b", "f/b", "g"};

    // Names leave and come back many times in one listing, past the size it was read at.
    QStringList layout;
    QStringList renames;
    QStringList asked;
    for (int i = 0; i < 40; ++i) {
        const QString f = QStringLiteral("f%1").arg(i);
        const QString g = QStringLiteral("g%1").arg(i);
        const QString next = QStringLiteral("f%1").arg(i + 1);
        layout << f;
        renames << f + u'>' + g << g + u'>' + f + u'x' << f + QLatin1String("x>") + f
                << f + u'>' + next;
        asked << f << g << f + u'x';
    }
    QTest::newRow("one folder's names churned") << layout << renames << asked;
}

// The simulated disk tells after each rename what the disk tells after the same renames.
void RenameRunTest::simulatedDiskFollowsRenames()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, renames);
    QFETCH(QStringList, asked);

    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    createLayout(dir.path(), layout);
    // The same renames and look-ups on a disk, as each answers them.
    const auto replay = [&](qv::RunDisk& disk) {
        QStringList seen;
        for (const QString& rename : std::as_const(renames)) {
            const bool done =
                disk.rename(root + rename.section(u'>', 0, 0), root + rename.section(u'>', 1));
            seen.append(rename + (done ? QLatin1String(" done") : QLatin1String(" refused")));
        }
        for (const QString& path : std::as_const(asked))
            seen.append(path + u':' + kindName(disk.kind(root + path)));
        return seen;
    };
    // The simulated disk first, as a plan comes before its run.
    qv::SimulatedDisk simulated;
    const QStringList planned = replay(simulated);
    qv::NoReplaceRenamer renamer;
    qv::LiveDisk live(renamer);
    const QStringList found = replay(live);
    QCOMPARE(planned, found);
}

QTEST_APPLESS_MAIN(RenameRunTest)
#include "tst_renamerun.moc"
