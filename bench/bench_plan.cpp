// Figures for the plan of a run: 100,000 listed files (100 folders of 1,000) planned against the
// disk as it is, for a mask that renames every file and for one that leaves them all as they are;
// then the main window with the same list and its preview of all entries open: the time from a
// change of the mask until the preview shows the new plan, and the longest stall of the window;
// the same for 10,000 photos named by their date taken.
// Usage: bench_plan [folders, default 100] [files per folder, default 1000]
#include "bench/benchtools.h"
#include "bench/photos.h"
#include "rename/renamename.h"
#include "rename/renamerun.h"

#include "app/preview/tvorschau_alle.h"
#include "app/startup.h"
#include "app/tprog.h"
#include "app/windows.h"
#include "filelist/filelistmodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
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

    // The window: the list, the preview of all entries, and a change of the mask.
    QTemporaryDir cwd;
    QDir::setCurrent(cwd.path());
    qv::createWindows();
    Tprog* prog = qv::prog;
    auto* list = qobject_cast<qv::FileListModel*>(prog->qulist->model());
    list->beginBulkUpdate();
    for (const qv::RunEntry& entry : std::as_const(entries))
        list->appendFile(entry.path, 0, QStringLiteral("Neu hinzugefügt"));
    list->endBulkUpdate();
    prog->show();
    prog->act_maske->click();
    prog->m_vorschau_alleClick();
    const auto settle = [] {
        while (qv::vorschau_alle->planning())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    };
    settle();
    bench::StallProbe probe;
    double followMs = 1e300;
    for (const char* mask : {"%name%_%0num%", "x_%name%", "%0num% %name%"}) {
        QApplication::processEvents();
        probe.start();
        QElapsedTimer clock;
        clock.start();
        prog->maske->setEditText(QLatin1String(mask));
        settle();
        followMs = std::min(followMs, clock.nsecsElapsed() / 1e6);
        probe.stop();
    }
    std::printf("preview of all entries, %lld entries, after a change of the mask\n",
                (long long)entries.size());
    bench::verdict("until the plan is shown", followMs, 300.0, "ms");
    bench::verdict("longest stall of the window", double(probe.longestMs()), 100.0, "ms");
    std::printf("  %s\n", qPrintable(qv::vorschau_alle->va_summe->text()));

    // 10,000 photos named by their date taken: the first plan reads every photo once, each
    // plan after a change of the mask takes the values read then.
    const QString photos = root.path() + QStringLiteral("/photos/");
    QDir().mkpath(photos);
    list->clear();
    list->beginBulkUpdate();
    for (int i = 0; i < 10000; ++i) {
        const QString path = photos + QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
        QFile file(path);
        const std::string data = bench::photo(bench::takenOf(i).c_str());
        if (!file.open(QIODevice::WriteOnly) || file.write(data.data(), qint64(data.size())) < 0)
            return 1;
        list->appendFile(path, 0, QStringLiteral("Neu hinzugefügt"));
    }
    list->endBulkUpdate();
    QElapsedTimer firstClock;
    firstClock.start();
    prog->datumsquelle->setCurrentIndex(int(qv::DateSource::Taken));
    prog->maske->setEditText(QStringLiteral("%y%-%m%-%d% %h%.%min%.%s%"));
    settle();
    const double firstMs = firstClock.nsecsElapsed() / 1e6;
    double photoMs = 1e300;
    bench::StallProbe photoProbe;
    for (const char* mask : {"%y%-%m%-%d% %name%", "%name% %h%%min%%s%", "%j%%m%%t%_%0num%"}) {
        QApplication::processEvents();
        photoProbe.start();
        QElapsedTimer clock;
        clock.start();
        prog->maske->setEditText(QLatin1String(mask));
        settle();
        photoMs = std::min(photoMs, clock.nsecsElapsed() / 1e6);
        photoProbe.stop();
    }
    std::printf("preview of all entries, 10000 photos named by their date taken\n");
    std::printf("  first plan, reading every photo: %.1f ms\n", firstMs);
    bench::verdict("after a change of the mask, until shown", photoMs, 300.0, "ms");
    bench::verdict("longest stall of the window", double(photoProbe.longestMs()), 100.0, "ms");
    std::printf("  %s\n", qPrintable(qv::vorschau_alle->va_summe->text()));
    qv::destroyWindows();
    return 0;
}
