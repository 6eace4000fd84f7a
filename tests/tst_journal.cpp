// The journal of a run and its undo, on real folders: names and contents come back after a run,
// after a restart and after a run killed half-way; what changed since is left alone.

#include "rename/journal.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
void runWithJournal(const QString& root, const QStringList& listed, const QString& mask,
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
    qv::NoReplaceRenamer renamer;
    qv::JournalingRenamer journaling(renamer, journal);
    qv::LiveDisk disk(journaling);
    run.execute(disk);
}

QVector<qv::UndoStep> undo(const QString& journalFile)
{
    // A journal object of its own, as after a restart.
    qv::RenameJournal journal(journalFile);
    qv::NoReplaceRenamer renamer;
    qv::LiveDisk disk(renamer);
    return qv::undoMoves(journal.moves(), disk);
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

    for (const qv::UndoStep& step : undo(journal))
        QCOMPARE(step.outcome, qv::UndoOutcome::Restored);
    QCOMPARE(tree(root), before);
}

void JournalTest::nextRunReplacesJournal()
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {"a", "b"});
    const QString journal = dir.filePath(QStringLiteral("journal"));
    runWithJournal(dir.path(), {"a"}, QStringLiteral("x%name%"), false, journal);
    // A run that renames nothing keeps the journal of the one before.
    runWithJournal(dir.path(), {"b"}, QStringLiteral("%name%"), false, journal);
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
    child.start(QStringLiteral(JOURNAL_CHILD), {journal, root, QStringLiteral("7")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(qv::RenameJournal(journal).moves().size(), 7);

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
    // Since the run: another "a" appeared, and "xb" was deleted.
    makeFiles(root, {"a"});
    QVERIFY(QFile::remove(root + QStringLiteral("/xb")));

    QList<qv::UndoOutcome> outcomes;
    for (const qv::UndoStep& step : undo(journal))
        outcomes.prepend(step.outcome);
    QCOMPARE(outcomes, (QList<qv::UndoOutcome>{qv::UndoOutcome::Taken, qv::UndoOutcome::Gone,
                                               qv::UndoOutcome::Restored}));
    QCOMPARE(tree(root), (QStringList{"a=a", "c=c", "xa=a"}));
}

QTEST_APPLESS_MAIN(JournalTest)
#include "tst_journal.moc"
