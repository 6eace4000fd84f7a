// Figures for the plan of a run: 100,000 listed files (100 folders of 1,000) planned against the
// disk as it is, for a mask that renames every file and for one that leaves them all as they are.
// Usage: bench_plan [folders, default 100] [files per folder, default 1000]
#include "bench/benchtools.h"
#include "rename/renamename.h"
#include "rename/renamerun.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int folders = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const int perFolder = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    QTemporaryDir root;
    QVector<qv::RunEntry> entries;
    entries.reserve(folders * perFolder);
    for (int f = 0; f < folders; ++f) {
        const QString dir =
            root.path() + QStringLiteral("/Ordner %1/").arg(f, 3, 10, QLatin1Char('0'));
        QDir().mkpath(dir);
        for (int i = 0; i < perFolder; ++i) {
            const QString path =
                dir + QStringLiteral("Bild %1.jpg").arg(i, 5, 10, QLatin1Char('0'));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                return 1;
            entries.append({path, false});
        }
    }
    std::printf("plan of %lld listed files in %d folders\n", (long long)entries.size(), folders);
    for (const char* mask : {"%name%_%0num%", "%name%"}) {
        qv::RenameSettings settings;
        settings.maskActive = true;
        settings.mask = QLatin1String(mask);
        const qv::RenameRun run(entries, settings, QDate::currentDate());
        int renamed = 0;
        const double ms = bench::bestMs(3, [&] { renamed = run.plan().renamed; });
        const double namesMs = bench::bestMs(3, [&] {
            for (int i = 0; i < entries.size(); ++i)
                qv::RenameName(entries[i].path, i, settings, int(entries.size()), QDate());
        });
        std::printf("  (names alone, one thread: %.1f ms)\n", namesMs);
        std::printf("  mask %-16s %8.1f ms (%d would be renamed; goal <= 300 ms)\n", mask, ms,
                    renamed);
    }
    return 0;
}
