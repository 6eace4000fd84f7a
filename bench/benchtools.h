#pragma once

// Measuring helpers shared by the benchmark programs.

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bench {

// Kilobytes from a line of /proc/self/status ("VmHWM:", "VmRSS:").
inline qint64 statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Lets VmHWM measure the peak of one phase only.
inline void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

inline double bestMs(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// The files under the folder open as fd, by the bare readdir + fstatat walk any scan must do.
inline qint64 bareWalk(int fd)
{
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return 0;
    }
    qint64 files = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            const int sub = ::openat(::dirfd(dir), e->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (sub >= 0)
                files += bareWalk(sub);
        } else {
            ++files;
        }
    }
    ::closedir(dir);
    return files;
}

// The floor of adding files: one stat per path, as the system itself costs it.
inline double statAllMs(const QList<QByteArray>& encoded)
{
    return bestMs(3, [&] {
        struct stat st;
        qint64 total = 0;
        for (const QByteArray& p : encoded) {
            if (::stat(p.constData(), &st) == 0)
                total += st.st_size;
        }
        if (total < 0)
            std::printf("?");
    });
}

inline void verdict(const char* what, double value, double goal, const char* unit)
{
    std::printf("  %-34s %10.2f %-6s (goal <= %.1f) %s\n", what, value, unit, goal,
                value <= goal ? "ok" : "MISSED");
}

// The longest gap between ticks of a 5 ms timer while it runs: the longest stall of the event
// loop, in milliseconds. Runs may be measured one after another; the longest gap of all counts.
class StallProbe
{
public:
    StallProbe()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void stop()
    {
        tick();
        m_timer.stop();
    }
    qint64 longestMs() const { return m_longest; }

private:
    void tick()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace bench
