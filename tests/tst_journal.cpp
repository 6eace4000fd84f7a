// The journal of a run and its undo, on real folders: names and contents come back after a run,
// after a restart and after a run killed at any moment; what changed since is left alone; a
// journal that cannot be written stops the run before anything is renamed without it.

#include "rename/journal.h"
#include "rename/journalingrenamer.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"
#include "rename/undo.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void makeFiles(const QString& root, const QStringList& names)
{
    for (const QString& name : names) {
        const QString path = root + u'/' + name;
        if (name.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(path));
            continue;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(name.toUtf8());
    }
}

// Every file below root as "path=content", folders as "path/".
QStringList tree(const QString& root)
{
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString rel = QDir(root).relativeFilePath(it.filePath());
        if (it.fileInfo().isDir()) {
            found.append(rel + u'/');
            continue;
        }
        QFile file(it.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("unreadable: ") + rel};
        found.append(rel + u'=' + QString::fromUtf8(file.readAll()));
    }
    found.sort();
    return found;
}

// A run over the listed names (folders end in "/") with the mask, through a journal.
qv::RunResult runWithJournal(const QString& root, const QStringList& listed, const QString& mask,
                             bool chains, const QString& journalFile)
{
    QVector<qv::RunEntry> entries;
    for (const QString& name : listed)
        entries.append({root + u'/' + QString(name).remove(u'/'), name.endsWith(u'/')});
    qv::RenameSettings settings;
    settings.maskActive = true;
    settings.mask = mask;
    qv::RenameRun run(entries, settings, QDate(2024, 3, 7));
    run.setResolveChains(chains);
    qv::RenameJournal journal(journalFile);
    if (!journal.begin())
        return {};
    qv::NoReplaceRenamer renamer;
    qv::JournalingRenamer journaling(renamer, journal);
    qv::LiveDisk disk(journaling, &journal);
    return run.execute(disk);
}

QVector<qv::UndoStep> undo(const QString& journalFile)
{
    // A journal object of its own, as after a restart.
    qv::RenameJournal journal(journalFile);
    qv::NoReplaceRenamer renamer;
    return qv::undoJournal(journal, renamer).steps;
}

QStringList numbered(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("f%1").arg(i, 4, 10, QLatin1Char('0')));
    return names;
}

} // namespace

class JournalTest : public QObject
{
    Q_OBJECT
private slots:
    void undoRestores_data();
    void undoRestores();
    void nextRunReplacesJournal();
    void killedHalfWay();
    void changedSinceLeftAlone();
    void killedAtAnyMoment_data();
    void killedAtAnyMoment();
    void journalFillsUp();
    void journalNotWritable();
    void refusedJournals_data();
    void refusedJournals();
    void undoKeepsWhatItCouldNotRestore();
    void oneRunAtATime();
};

void JournalTest::undoRestores_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("chains");
    QTest::newRow("files") << QStringList{"a.txt", "b.txt"} << QStringList{"a.txt", "b.txt"}
                           << "x_%name%" << false;
    QTest::newRow("folder and a file inside it")
        << QStringList{"pics/", "pics/a.jpg"} << QStringList{"pics/", "pics/a.jpg"} << "%num%"
        << false;
    QTest::newRow("circle through a temporary name")
        << QStringList{"1", "2", "3"} << QStringList{"2", "3", "1"} << "%num%" << true;
}

void JournalTest::undoRestores()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, listed);
    QFETCH(QString, mask);
    QFETCH(bool, chains);
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("files"));
    const QString journal = dir.filePath(QStringLiteral("journal"));
    QVERIFY(QDir().mkpath(root));
    makeFiles(root, layout);
    const QStringList before = tree(root);
    runWithJournal(root, listed, mask, chains, journal);
    QVERIFY(tree(root) != before);

    // Renames written ahead that waited their turn were made under records of their own.
    for (const qv::UndoStep& step : undo(journal))
        QVERIFY(step.outcome == qv::UndoOutcome::Restored ||
                step.outcome == qv::UndoOutcome::AlreadyBack);
    QCOMPARE(tree(root), before);
}

void JournalTest::nextRunReplacesJournal()
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {"a", "b"});
    const QString journal = dir.filePath(QStringLiteral("journal"));
    runWithJournal(dir.path(), {"a"}, QStringLiteral("x%name%"), false, journal);
    // A run that renames nothing keeps the journal of the one before, also when every entry
    // was refused (its name taken by "xa").
    runWithJournal(dir.path(), {"b"}, QStringLiteral("%name%"), false, journal);
    QCOMPARE(qv::RenameJournal(journal).moves().size(), 1);
    runWithJournal(dir.path(), {"b"}, QStringLiteral("xa"), false, journal);
    QCOMPARE(qv::RenameJournal(journal).moves().size(), 1);
    runWithJournal(dir.path(), {"b"}, QStringLiteral("y%name%"), false, journal);
    const QVector<qv::JournalMove> moves = qv::RenameJournal(journal).moves();
    QCOMPARE(moves.size(), 1);
    QCOMPARE(moves.first().to, dir.filePath(QStringLiteral("yb")));
}

void JournalTest::killedHalfWay()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("files"));
    QVERIFY(QDir().mkpath(root));
    QStringList names;
    for (int i = 0; i < 20; ++i)
        names.append(QStringLiteral("f%1").arg(i, 2, 10, QLatin1Char('0')));
    makeFiles(root, names);
    const QStringList before = tree(root);
    const QString journal = dir.filePath(QStringLiteral("journal"));

    QProcess child;
    child.start(QStringLiteral(JOURNAL_CHILD), {journal, root, QStringLiteral("x%name%"),
                                                QStringLiteral("7"), QStringLiteral("renames")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    // The renames written ahead of the kill are in it too.
    QVERIFY(qv::RenameJournal(journal).moves().size() >= 7);

    undo(journal);
    QCOMPARE(tree(root), before);
}

void JournalTest::changedSinceLeftAlone()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("files"));
    QVERIFY(QDir().mkpath(root));
    makeFiles(root, {"a", "b", "c"});
    const QString journal = dir.filePath(QStringLiteral("journal"));
    runWithJournal(root, {"a", "b", "c"}, QStringLiteral("x%name%"), false, journal);
    // Since the run: another "a" appeared, "xb" was deleted, and "xc" saved anew as editors
    // save, written beside it and renamed over it. (A file deleted and then made anew may get
    // the freed inode number back, and then passes for the file the run renamed.)
    makeFiles(root, {"a", "xc.new"});
    QVERIFY(QFile::remove(root + QStringLiteral("/xb")));
    QCOMPARE(::rename(QFile::encodeName(root + QStringLiteral("/xc.new")).constData(),
                      QFile::encodeName(root + QStringLiteral("/xc")).constData()),
             0);

    QList<qv::UndoOutcome> outcomes;
    for (const qv::UndoStep& step : undo(journal))
        outcomes.prepend(step.outcome);
    QCOMPARE(outcomes, (QList<qv::UndoOutcome>{qv::UndoOutcome::Taken, qv::UndoOutcome::Gone,
                                               qv::UndoOutcome::Changed}));
    QCOMPARE(tree(root), (QStringList{"a=a", "xa=a", "xc=xc.new"}));
}

void JournalTest::killedAtAnyMoment_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("no-replace flag") << "native";
    QTest::newRow("hard links") << "links";
    QTest::newRow("placeholders") << "placeholder";
}

// Killed just before any system call of a run that turns a circle, the undo brings back every name
// and content and leaves no temporary name or placeholder.
void JournalTest::killedAtAnyMoment()
{
    QFETCH(QString, way);
    for (int moment = 0;; ++moment) {
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("files"));
        QVERIFY(QDir().mkpath(root));
        makeFiles(root, {"1", "2", "3", "4"});
        const QStringList before = tree(root);
        const QString journal = dir.filePath(QStringLiteral("journal"));
        QProcess child;
        // Listed 2, 3, 4, 1: "%num%" makes one circle of four, 2 -> 1 -> 4 -> 3 -> 2.
        child.start(QStringLiteral(JOURNAL_CHILD),
                    {journal, root, QStringLiteral("%num%"), QString::number(moment), way});
        QVERIFY(child.waitForFinished(30000));
        const bool finished = child.exitStatus() == QProcess::NormalExit;
        if (finished)
            QCOMPARE(child.exitCode(), 0);
        undo(journal);
        QVERIFY2(tree(root) == before,
                 qPrintable(QStringLiteral("killed before call %1: ").arg(moment) +
                            tree(root).join(u", ")));
        if (finished) {
            QVERIFY(moment > 3);
            break;
        }
    }
}

namespace {

// Writes beyond `bytes` fail for this process (EFBIG), as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_before); }

private:
    rlimit m_before;
};

} // namespace

// A journal that fills up stops the run before the first rename it could not record: the run
// says how far it got, and undo takes back exactly what was renamed.
void JournalTest::journalFillsUp()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("files"));
    QVERIFY(QDir().mkpath(root));
    const QStringList names = numbered(1100);
    makeFiles(root, names);
    const QStringList before = tree(root);
    const QString journal = dir.filePath(QStringLiteral("journal"));
    qv::RunResult result;
    {
        // Room for the first records written ahead (about 110 bytes each), not for all.
        const FileSizeLimit limit(80000);
        result = runWithJournal(root, names, QStringLiteral("x%name%"), false, journal);
    }
    QVERIFY(result.renamed > 0);
    QVERIFY(result.renamed < names.size());
    int notTried = 0;
    for (const qv::RunEntryResult& entry : result.entries)
        notTried += entry.outcome == qv::RunOutcome::NotTried;
    QCOMPARE(result.renamed + notTried, names.size());
    QCOMPARE(QDir(root).entryList({QStringLiteral("x*")}).size(), result.renamed);

    int restored = 0;
    for (const qv::UndoStep& step : undo(journal))
        restored += step.outcome == qv::UndoOutcome::Restored;
    QCOMPARE(restored, result.renamed);
    QCOMPARE(tree(root), before);
}

void JournalTest::journalNotWritable()
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {"data", "a"});
    // The data folder cannot be made: a file is in its place.
    qv::RenameJournal journal(dir.filePath(QStringLiteral("data/journal")));
    QVERIFY(!journal.begin());
    QCOMPARE(journal.problem(), qv::JournalProblem::NotWritable);
    QVERIFY(!journal.reason().isEmpty());
    const qv::RunResult result = runWithJournal(dir.path(), {"a"}, QStringLiteral("x%name%"), false,
                                                dir.filePath(QStringLiteral("data/j")));
    QCOMPARE(result.renamed, 0);
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("a"))));
}

void JournalTest::refusedJournals_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a FIFO") << "fifo";
    QTest::newRow("larger than any run writes") << "huge";
    QTest::newRow("a relative path") << "relative";
}

// What is not a journal of ours is refused at once, renaming nothing: it neither blocks,
// exhausts memory nor names paths relative to wherever undo runs.
void JournalTest::refusedJournals()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString journal = dir.filePath(QStringLiteral("journal"));
    const QByteArray name = QFile::encodeName(journal);
    if (kind == u"fifo") {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    } else if (kind == u"huge") {
        QFile file(journal);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(4) << 30));
    } else {
        makeFiles(dir.path(), {"a"});
        runWithJournal(dir.path(), {"a"}, QStringLiteral("x%name%"), false, journal);
        QFile file(journal);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray content = file.readAll();
        // The same record with the folder taken off its paths, checksum made anew.
        const QByteArray absolute = QFile::encodeName(dir.path() + u'/');
        QVERIFY(content.contains(absolute));
        content.replace(absolute, QByteArray(absolute.size(), 'r'));
        QVERIFY(file.seek(0));
        file.write(content);
    }
    qv::RenameJournal refused(journal);
    qv::NoReplaceRenamer renamer;
    if (kind != u"relative") {
        QCOMPARE(qv::undoJournal(refused, renamer).problem, qv::JournalProblem::Damaged);
    } else {
        // The changed record no longer matches its checksum: the journal ends before it.
        QVERIFY(qv::undoJournal(refused, renamer).steps.isEmpty());
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("xa"))));
    }
}

// An undo that could not restore keeps those steps; once the way is free, the next undo
// restores them and counts what is back already as done.
void JournalTest::undoKeepsWhatItCouldNotRestore()
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("files"));
    QVERIFY(QDir().mkpath(root));
    makeFiles(root, {"a", "b"});
    const QString journal = dir.filePath(QStringLiteral("journal"));
    runWithJournal(root, {"a", "b"}, QStringLiteral("x%name%"), false, journal);
    // Another file takes the old name "a" since.
    makeFiles(root, {"a"});
    QVERIFY(QFile::rename(root + QStringLiteral("/a"), root + QStringLiteral("/a.mine")));
    makeFiles(root, {"a"});

    qv::RenameJournal first(journal);
    qv::NoReplaceRenamer renamer;
    qv::UndoResult result = qv::undoJournal(first, renamer);
    QCOMPARE(result.restored, 1);
    QCOMPARE(result.refused, 1);
    QVERIFY(!qv::RenameJournal(journal).isEmpty());

    QVERIFY(QFile::remove(root + QStringLiteral("/a")));
    qv::RenameJournal second(journal);
    result = qv::undoJournal(second, renamer);
    QCOMPARE(result.restored, 1);
    QCOMPARE(result.refused, 0);
    QVERIFY(qv::RenameJournal(journal).isEmpty());
    QCOMPARE(tree(root), (QStringList{"a.mine=a", "a=a", "b=b"}));
}

// While one run holds the journal, neither a second run nor an undo may start.
void JournalTest::oneRunAtATime()
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {"a"});
    const QString journal = dir.filePath(QStringLiteral("journal"));
    qv::RenameJournal running(journal);
    QVERIFY(running.begin());
    qv::RenameJournal second(journal);
    QVERIFY(!second.begin());
    QCOMPARE(second.problem(), qv::JournalProblem::Busy);
    QCOMPARE(runWithJournal(dir.path(), {"a"}, QStringLiteral("x%name%"), false, journal).renamed,
             0);
    qv::RenameJournal undoing(journal);
    qv::NoReplaceRenamer renamer;
    QCOMPARE(qv::undoJournal(undoing, renamer).problem, qv::JournalProblem::Busy);
    running.end();
    QCOMPARE(runWithJournal(dir.path(), {"a"}, QStringLiteral("x%name%"), false, journal).renamed,
             1);
}

QTEST_APPLESS_MAIN(JournalTest)
#include "tst_journal.moc"
