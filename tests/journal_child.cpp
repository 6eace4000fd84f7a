// Renames every file of a folder through a journal, chains resolved, the files listed in name
// order with the first put last (so "%num%" over 1, 2, 3 turns a circle), and is killed by the
// system at a chosen moment, as a run can be killed anywhere.
//   journal_child JOURNAL FOLDER MASK KILL_AT WAY
// WAY "renames": killed after KILL_AT renames. WAY "native", "links" or "placeholder": killed
// just before system call number KILL_AT of the renamer, which renames with the no-replace flag,
// or as on a file system that refuses it (and hard links too, for "placeholder").

#include "rename/journal.h"
#include "rename/journalingrenamer.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <csignal>

namespace {

class DyingRenamer : public qv::NoReplaceRenamer
{
public:
    DyingRenamer(int killAt, QByteArray way) : m_killAt(killAt), m_way(std::move(way)) {}

protected:
    int renameNoReplace(const char* from, const char* to) override
    {
        tick();
        if (m_way == "native")
            return NoReplaceRenamer::renameNoReplace(from, to);
        errno = EINVAL;
        return -1;
    }
    int hardLink(const char* from, const char* to) override
    {
        tick();
        if (m_way == "placeholder") {
            errno = EPERM;
            return -1;
        }
        return NoReplaceRenamer::hardLink(from, to);
    }
    int renameReplacing(const char* from, const char* to) override
    {
        tick();
        return NoReplaceRenamer::renameReplacing(from, to);
    }
    int removeFile(const char* path) override
    {
        tick();
        return NoReplaceRenamer::removeFile(path);
    }
    int createFile(const char* path, Node* node) override
    {
        tick();
        return NoReplaceRenamer::createFile(path, node);
    }
    int makeFolder(const char* path) override
    {
        tick();
        return NoReplaceRenamer::makeFolder(path);
    }
    int removeFolder(const char* path) override
    {
        tick();
        return NoReplaceRenamer::removeFolder(path);
    }

private:
    void tick()
    {
        if (m_calls++ == m_killAt)
            std::raise(SIGKILL);
    }

    int m_killAt;
    QByteArray m_way;
    int m_calls = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 6)
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    const int killAt = QByteArray(argv[4]).toInt();
    const QByteArray way(argv[5]);
    QStringList names = folder.entryList(QDir::Files, QDir::Name);
    if (!names.isEmpty())
        names.append(names.takeFirst());
    QVector<qv::RunEntry> entries;
    for (const QString& name : std::as_const(names))
        entries.append({folder.filePath(name), false});
    qv::RenameSettings settings;
    settings.maskActive = true;
    settings.mask = QString::fromLocal8Bit(argv[3]);
    qv::RenameJournal journal(QString::fromLocal8Bit(argv[1]));
    if (!journal.begin())
        return 3;
    DyingRenamer renamer(way == "renames" ? -1 : killAt, way);
    qv::JournalingRenamer journaling(renamer, journal);
    qv::LiveDisk disk(journaling, &journal);
    qv::RenameRun run(entries, settings, QDate(2024, 3, 7));
    run.setResolveChains(true);
    run.execute(disk, [&](int renamed, int) {
        if (way == "renames" && renamed == killAt)
            std::raise(SIGKILL);
    });
    return 0;
}
