// Figures for adding through the main window: a folder tree loaded by Enter in quordner, and
// add2list for many real files inside one bulk update, each against the bare system calls the work
// cannot avoid, with the longest stall of the event loop during the load, the memory per entry and
// the time of a sort by name.
// Usage: bench_adding [folders, default 100] [files per folder, default 1000]
// (bench_adding 10 100000 gives the figures of a million files.)
#include "app/filter/tquorvel_filter.h"
#include "app/startup.h"
#include "app/tprog.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "bench/benchtools.h"
#include "filelist/fileentry.h"
#include "filelist/filelistmodel.h"
#include "filelist/folderscan.h"
#include "filelist/sizetext.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace bench;

namespace {

void figure(const char* what, double value, const char* unit)
{
    std::printf("  %-34s %10.2f %s\n", what, value, unit);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int folders = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const int perFolder = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;

    QTemporaryDir cwd;
    QTemporaryDir root;
    if (!cwd.isValid() || !root.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    QDir::setCurrent(cwd.path());
    qv::applyDesignFont();
    qv::createWindows();
    qv::start->Timer1->stop();
    Tprog* prog = qv::prog;
    auto* list = qobject_cast<qv::FileListModel*>(prog->qulist->model());
    prog->show();
    QApplication::processEvents();

    const char* const extensions[] = {".jpg", ".JPG", ".png", ".txt", ".tar.gz", ""};
    QStringList paths;
    QList<QByteArray> encoded;
    paths.reserve(folders * perFolder);
    encoded.reserve(folders * perFolder);
    for (int folder = 0; folder < folders; ++folder) {
        const QString dir =
            root.path() + QStringLiteral("/Ordner %1/").arg(folder, 3, 10, QLatin1Char('0'));
        ::mkdir(QFile::encodeName(dir).constData(), 0755);
        for (int i = 0; i < perFolder; ++i) {
            // Names out of the list's order, so that the final sort has work to do.
            const QString path = dir + QStringLiteral("Bild %1%2")
                                           .arg((i * 7919) % perFolder, 5, 10, QLatin1Char('0'))
                                           .arg(QLatin1String(extensions[i % 6]));
            const QByteArray bytes = QFile::encodeName(path);
            const int fd = ::open(bytes.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd < 0) {
                std::perror("open");
                return 1;
            }
            if (::ftruncate(fd, off_t(i) * 1031) != 0)
                std::perror("ftruncate");
            ::close(fd);
            paths.append(path);
            encoded.append(bytes);
        }
    }
    std::printf("%lld files in %d folders, main window shown (%s)\n", (long long)paths.size(),
                folders, qPrintable(QGuiApplication::platformName()));

    // (a) Enter in quordner over the whole tree, subfolders on, against a bare readdir + fstatat
    // walk; first, so that the memory figure starts from a fresh heap.
    qint64 walked = 0;
    const double walkMs = bestMs(3, [&] {
        walked = bareWalk(
            ::open(QFile::encodeName(root.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    });
    QStringList scanned;
    const double scanMs = bestMs(3, [&] {
        scanned.clear();
        qv::ScanFolder(scanned, root.path(), {QStringLiteral("*.*")}, true);
    });
    scanned.clear();
    scanned.squeeze();
    qv::quorvel_filter->alle->setChecked(true);
    qv::quorvel_filter->uv->setChecked(true);
    prog->quordner->setText(root.path());

    // The event loop runs only where the window lets it repaint; the longest gap between two ticks
    // (and from the start to the first, the last to the end) is what the user waits for. The
    // load ends when the list has been laid out and painted.
    QTimer ticker;
    ticker.setInterval(5);
    QElapsedTimer sinceTick;
    qint64 longestGapNs = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    QElapsedTimer timer;
    double enterMs = 1e300;
    double shownMs = 1e300;
    qint64 stallNs = 0;
    int entries = 0;
    qint64 loadRssBefore = 0;
    qint64 loadPeak = 0;
    for (int run = 0; run < 3; ++run) {
        list->clear();
        QApplication::processEvents();
        if (run == 0) {
            loadRssBefore = statusKb("VmRSS:");
            resetPeak();
        }
        longestGapNs = 0;
        ticker.start();
        sinceTick.start();
        timer.restart();
        prog->quordnerKeyPress(QChar(13));
        enterMs = std::min(enterMs, timer.nsecsElapsed() / 1e6);
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        shownMs = std::min(shownMs, timer.nsecsElapsed() / 1e6);
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        ticker.stop();
        if (run == 0)
            loadPeak = statusKb("VmHWM:");
        stallNs = std::max(stallNs, longestGapNs);
        entries = list->count();
    }
    const double loadBytesPerEntry = (loadPeak - loadRssBefore) * 1024.0 / std::max(entries, 1);

    // A click on the name header after one on the path header: the list is sorted by name.
    double nameSortMs = 1e300;
    for (int run = 0; run < 3; ++run) {
        prog->qulistColumnClick(qv::ColPath);
        prog->qulistColumnClick(qv::ColPath);
        timer.restart();
        prog->qulistColumnClick(qv::ColName);
        nameSortMs = std::min(nameSortMs, timer.nsecsElapsed() / 1e6);
    }
    prog->qulistColumnClick(qv::ColName);
    list->clear();
    QApplication::processEvents();
    // The memory the load freed goes back to the system, so that the next figure starts afresh.
    ::malloc_trim(0);

    std::printf("Enter in quordner (AddOrdner), %d folders x %d files, subfolders on\n", folders,
                perFolder);
    if (entries != walked)
        std::printf("  !! %d entries for %lld files\n", entries, (long long)walked);
    figure("bare readdir + fstatat walk", walkMs, "ms");
    figure("ScanFolder alone", scanMs, "ms");
    figure("AddOrdner", enterMs, "ms");
    figure("AddOrdner until the list is painted", shownMs, "ms");
    verdict("ratio (AddOrdner)", enterMs / walkMs, 2.0, "");
    verdict("ratio (until painted)", shownMs / walkMs, 2.0, "");
    verdict("longest event-loop stall", stallNs / 1e6, 100.0, "ms");
    verdict("peak memory per entry", loadBytesPerEntry, 700, "bytes");
    verdict("sort by name (header click)", nameSortMs, 1500, "ms");

    // (b) add2list inside one bulk update against one stat per path.
    const double statMs = statAllMs(encoded);
    auto addAll = [&] {
        list->beginBulkUpdate();
        for (const QString& path : std::as_const(paths))
            prog->add2list(path);
        list->endBulkUpdate();
    };
    const qint64 rssBefore = statusKb("VmRSS:");
    resetPeak();
    timer.restart();
    addAll();
    double addMs = timer.nsecsElapsed() / 1e6;
    const qint64 peak = statusKb("VmHWM:");
    const double bytesPerEntry = (peak - rssBefore) * 1024.0 / list->count();
    if (list->count() != paths.size())
        std::printf("  !! %d entries for %lld files\n", list->count(), (long long)paths.size());
    list->clear();
    timer.restart();
    addAll();
    addMs = std::min(addMs, timer.nsecsElapsed() / 1e6);
    list->clear();

    std::printf("add2list, one bulk update\n");
    figure("bare stat", statMs, "ms");
    figure("add2list", addMs, "ms");
    verdict("ratio", addMs / statMs, 2.5, "");
    verdict("peak memory per entry", bytesPerEntry / 1024.0, 1.0, "KB");

    qv::destroyWindows();
    return 0;
}
