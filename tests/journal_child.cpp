// Renames every file of a folder to "x<name>" through a journal and is killed by the system
// after the given number of renames, as a run can be killed half-way.
//   journal_child JOURNAL FOLDER RENAMES_BEFORE_KILL

#include "rename/journal.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    const int killAfter = QByteArray(argv[3]).toInt();
    QVector<qv::RunEntry> entries;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        entries.append({folder.filePath(name), false});
    qv::RenameSettings settings;
    settings.maskActive = true;
    settings.mask = QStringLiteral("x%name%");
    qv::RenameJournal journal(QString::fromLocal8Bit(argv[1]));
    qv::NoReplaceRenamer renamer;
    qv::JournalingRenamer journaling(renamer, journal);
    qv::LiveDisk disk(journaling);
    qv::RenameRun(entries, settings, QDate(2024, 3, 7))
        .execute(disk, [killAfter](int renamed, int) {
            if (renamed == killAfter)
                std::raise(SIGKILL);
        });
    return 0;
}
