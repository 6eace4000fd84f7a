// Figures for the batch rename: real files renamed through UmbenennenClick (mask
// '%name%_%0num%') against a bare renameat2 loop over as many files in the same run, with the
// longest stall of the event loop while the window renames.
// Usage: bench_rename [files; default: 10,000 and then 100,000]
#include "app/startup.h"
#include "app/tprog.h"
#include "app/windows.h"
#include "bench/benchtools.h"
#include "filelist/fileentry.h"
#include "filelist/filelistmodel.h"
#include "filelist/sizetext.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <ctime>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

QStringList createFiles(const QString& folder, int count)
{
    QStringList paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString path =
            folder + QStringLiteral("/photo_%1.jpg").arg(i, 6, 10, QLatin1Char('0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(path));
        file.write("x");
        paths.append(path);
    }
    return paths;
}

double cpuMs()
{
    timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Figures
{
    double wallMs = 0;
    double cpuMs = 0;
    int failures = 0;
};

// The names are made before the clock starts: only the system calls are timed.
Figures bareLoop(const QStringList& files)
{
    std::vector<std::pair<QByteArray, QByteArray>> names;
    names.reserve(files.size());
    for (const QString& path : files) {
        QString target = path;
        target.insert(target.size() - 4, QStringLiteral("_n"));
        names.emplace_back(QFile::encodeName(path), QFile::encodeName(target));
    }
    Figures figures;
    QElapsedTimer clock;
    const double cpuStart = cpuMs();
    clock.start();
    for (const auto& [from, to] : names) {
        if (::syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(),
                      RENAME_NOREPLACE) != 0)
            ++figures.failures;
    }
    figures.wallMs = clock.nsecsElapsed() / 1e6;
    figures.cpuMs = cpuMs() - cpuStart;
    return figures;
}

int countFiles(const QString& folder, const QString& pattern)
{
    return int(QDir(folder).entryList({pattern}, QDir::Files).size());
}

// One press of the rename button over `count` listed files, between two bare loops.
bool measure(Tprog* prog, const QString& work, int count, double goal)
{
    // Bare loops before and after the window's run, so that neither side gains from the order
    // (a warm cache, the journal's commits).
    QStringList folders;
    for (const char* name : {"bare1", "window", "bare2"}) {
        folders.append(work + u'/' + QString::number(count) + QLatin1String(name));
        QDir().mkpath(folders.last());
    }
    const QStringList bare1Files = createFiles(folders[0], count);
    const QStringList windowFiles = createFiles(folders[1], count);
    const QStringList bare2Files = createFiles(folders[2], count);

    const Figures bare1 = bareLoop(bare1Files);

    auto* list = qobject_cast<qv::FileListModel*>(prog->qulist->model());
    list->clear();
    list->beginBulkUpdate();
    for (const QString& path : windowFiles)
        list->append(qv::fileEntryFor(path, qv::SizeText(qv::FileSizeOf(path)),
                                      QStringLiteral("Neu hinzugefügt")));
    list->endBulkUpdate();
    prog->act_maske->setChecked(true);
    prog->maske->setEditText(QStringLiteral("%name%_%0num%"));
    QApplication::processEvents();

    // The stall: the largest gap between ticks of a 5 ms timer while the window renames.
    bench::StallProbe probe;
    probe.start();
    QElapsedTimer clock;
    const double cpuStart = cpuMs();
    clock.start();
    prog->UmbenennenClick();
    const double windowMs = clock.nsecsElapsed() / 1e6;
    const double windowCpuMs = cpuMs() - cpuStart;
    probe.stop();

    const Figures bare2 = bareLoop(bare2Files);
    const double bareMs = (bare1.wallMs + bare2.wallMs) / 2;
    const double bareCpuMs = (bare1.cpuMs + bare2.cpuMs) / 2;

    const int bareDone = countFiles(folders[0], QStringLiteral("*_n.jpg")) +
                         countFiles(folders[2], QStringLiteral("*_n.jpg"));
    const int windowDone = countFiles(folders[1], QStringLiteral("photo_*_*.jpg"));
    std::printf("files:                 %d per run\n", count);
    std::printf("bare renameat2 loops:  %.1f ms and %.1f ms wall, %.1f ms and %.1f ms cpu "
                "(%d failed)\n",
                bare1.wallMs, bare2.wallMs, bare1.cpuMs, bare2.cpuMs,
                bare1.failures + bare2.failures);
    std::printf("UmbenennenClick:       %.1f ms wall, %.1f ms cpu (%d renamed)\n", windowMs,
                windowCpuMs, windowDone);
    std::printf("ratio:                 %.2f wall, %.2f cpu (goal <= %.1f)\n", windowMs / bareMs,
                windowCpuMs / bareCpuMs, goal);
    std::printf("longest stall:         %lld ms (goal <= 100)\n",
                static_cast<long long>(probe.longestMs()));
    std::printf("label:                 %s\n", qPrintable(prog->laspenden->text()));
    for (const QString& folder : folders)
        QDir(folder).removeRecursively();
    return bareDone == 2 * count && windowDone == count;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The run's journal goes to a test folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);

    QTemporaryDir cwd;
    QTemporaryDir work;
    QDir::setCurrent(cwd.path());
    qv::applyDesignFont();
    qv::createWindows();
    Tprog* prog = qv::prog;
    prog->show();
    QApplication::processEvents();

    bool ok = true;
    if (argc > 1) {
        ok = measure(prog, work.path(), QByteArray(argv[1]).toInt(), 2.0);
    } else {
        ok = measure(prog, work.path(), 10000, 2.0);
        ok = measure(prog, work.path(), 100000, 1.5) && ok;
    }
    qv::destroyWindows();
    return ok ? 0 : 1;
}
