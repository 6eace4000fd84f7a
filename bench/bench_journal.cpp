// Figures for what keeps a run undoable and chains resolvable, on the same files in one run:
//  - a run of N files (mask "g%0num%" over f000001...) with the undo journal against the same
//    run without it, and with chains resolved;
//  - a shift of N numbers by one (every new name is the next file's old one) with chains
//    resolved, against the plain run of N renames, and the plan of that shift.
// The files lie in /dev/shm where it exists (tmpfs), so the figures are the program's, not the
// disk's. Usage: bench_journal [files; default 100,000] [rounds; default 3]
#include "rename/diskrename.h"
#include "rename/journal.h"
#include "rename/journalingrenamer.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QVector<qv::RunEntry> createFiles(const QString& folder, int count)
{
    QVector<qv::RunEntry> entries;
    entries.reserve(count);
    for (int i = 1; i <= count; ++i) {
        const QString path = folder + QStringLiteral("/f%1").arg(i, 6, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(path));
        entries.append({path, false});
    }
    return entries;
}

// One run over fresh files; milliseconds of the run alone.
double timedRun(const QString& base, int count, const QString& mask, const QString& start,
                bool journaled, bool chains, bool planOnly = false)
{
    QTemporaryDir dir(base + QStringLiteral("/bench_journal-XXXXXX"));
    const QVector<qv::RunEntry> entries = createFiles(dir.path(), count);
    qv::RenameSettings settings;
    settings.maskActive = true;
    settings.mask = mask;
    settings.numStart = start;
    qv::RenameRun run(entries, settings, QDate(2024, 3, 7));
    run.setResolveChains(chains);
    qv::RenameJournal journal(dir.filePath(QStringLiteral("data/last-run.journal")));
    qv::NoReplaceRenamer renamer;
    qv::JournalingRenamer journaling(renamer, journal);
    QElapsedTimer timer;
    timer.start();
    if (planOnly) {
        run.plan();
    } else {
        if (journaled && !journal.begin())
            qFatal("cannot write the journal");
        qv::LiveDisk disk(journaled ? static_cast<qv::DiskRenamer&>(journaling) : renamer,
                          journaled ? &journal : nullptr);
        const qv::RunResult result = run.execute(disk);
        if (result.renamed != count)
            qFatal("renamed %d of %d", result.renamed, count);
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    journal.end();
    return ms;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 3;
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    // Rounds interleave the kinds, so that a busy moment of the machine spreads over all.
    std::vector<double> plain, journaled, shift, shiftPlan, renumber;
    for (int round = 0; round < rounds; ++round) {
        const QString other = QStringLiteral("g%0num%");
        const QString same = QStringLiteral("f%0num%");
        plain.push_back(timedRun(base, count, other, QStringLiteral("1"), false, false));
        journaled.push_back(timedRun(base, count, other, QStringLiteral("1"), true, false));
        renumber.push_back(timedRun(base, count, other, QStringLiteral("1"), true, true));
        shift.push_back(timedRun(base, count, same, QStringLiteral("2"), true, true));
        shiftPlan.push_back(timedRun(base, count, same, QStringLiteral("2"), false, true, true));
    }
    std::printf("bench_journal: %d files in %s, median of %d\n", count, qPrintable(base), rounds);
    std::printf("  run without journal          %8.0f ms\n", median(plain));
    std::printf("  run with journal             %8.0f ms  (%.2fx)\n", median(journaled),
                median(journaled) / median(plain));
    std::printf("  same run, chains resolved    %8.0f ms  (%.2fx)\n", median(renumber),
                median(renumber) / median(plain));
    std::printf("  shift by one, chains, journal%8.0f ms  (%.2fx the run without journal)\n",
                median(shift), median(shift) / median(plain));
    std::printf("  plan of that shift           %8.0f ms\n", median(shiftPlan));
    return 0;
}
