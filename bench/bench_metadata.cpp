// The date taken of many photos, read four ways over the same files in one run: the exiv2
// program, exiftool, readMediaValues in this process on one thread, and the program's own dry
// run naming the files by their date taken. Each figure is the median of three runs; the files
// lie on tmpfs where there is one, so that the disk does not hide the readers' own cost.
// Usage: bench_metadata [photos; default 10000]
// QUORVEL names the program to measure; without, the one built beside this benchmark.
#include "bench/photos.h"
#include "metadata/mediavalues.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRuns = 3;
// The bytes of names one command line takes here; more go to further runs of the program.
constexpr size_t kCommandLineBytes = 1 << 20;

double now()
{
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

bool onPath(const char* program)
{
    const char* path = std::getenv("PATH");
    const std::string all = path ? path : "/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= all.size()) {
        size_t end = all.find(':', begin);
        if (end == std::string::npos)
            end = all.size();
        if (::access((all.substr(begin, end - begin) + "/" + program).c_str(), X_OK) == 0)
            return true;
        begin = end + 1;
    }
    return false;
}

// Runs the program in `cwd` with its output to `output` and its errors to `errors`; its exit
// status, -1 when it could not run.
int run(const std::vector<std::string>& argv, const std::string& cwd, const std::string& errors,
        const std::string& output = "/dev/null")
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (::chdir(cwd.c_str()) != 0 || out < 0 || err < 0)
            ::_exit(126);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> makePhotos(const std::string& folder, int count)
{
    ::mkdir(folder.c_str(), 0755);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%05d.jpg", i);
        const std::string data = bench::photo(bench::takenOf(i).c_str());
        const int fd = ::open((folder + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, data.data(), data.size()) != ssize_t(data.size())) {
            std::perror(name);
            std::exit(1);
        }
        ::close(fd);
        names.push_back(name);
    }
    return names;
}

// --- Figures ------------------------------------------------------------------------------------

struct Figure
{
    const char* label;
    std::vector<double> seconds;
    std::string missing;

    double median() const
    {
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
    bool measured() const { return missing.empty() && !seconds.empty(); }
};

void print(const Figure& f, int files)
{
    if (!f.measured()) {
        std::printf("  %-44s %10s   %s\n", f.label, "n/a", f.missing.c_str());
        return;
    }
    const double t = f.median();
    std::printf("  %-44s %10.3f %12.0f\n", f.label, t, files / t);
}

void ratio(const char* what, const Figure& top, const Figure& bottom)
{
    if (top.measured() && bottom.measured())
        std::printf("  %-44s %10.2f\n", what, top.median() / bottom.median());
    else
        std::printf("  %-44s %10s\n", what, "n/a");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    QString programPath = qEnvironmentVariable("QUORVEL");
    if (programPath.isEmpty())
        programPath = QCoreApplication::applicationDirPath() + QStringLiteral("/../app/quorvel");
    const std::string quorvel = QFileInfo(programPath).absoluteFilePath().toStdString();

    std::string base = "/dev/shm";
    struct statfs fs;
    if (::statfs(base.c_str(), &fs) != 0 || fs.f_type != TMPFS_MAGIC ||
        ::access(base.c_str(), W_OK) != 0) {
        base = QDir::tempPath().toStdString();
        std::printf("bench_metadata: no writable tmpfs at /dev/shm; files in %s\n", base.c_str());
    }
    std::string work = base + "/quorvel-bench-XXXXXX";
    if (!::mkdtemp(work.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = work + "/photos";
    const std::string errors = work + "/stderr";
    ::setenv("XDG_DATA_HOME", (work + "/data").c_str(), 1);
    const std::vector<std::string> names = makePhotos(folder, files);
    std::printf("bench_metadata: the date taken of %d JPEGs, median of %d runs; files in %s\n",
                files, kRuns, folder.c_str());

    Figure exiv2{"(a) exiv2 -g Exif.Photo.DateTimeOriginal -Pv", {}, {}};
    Figure exiftool{"(b) exiftool -q -p '$DateTimeOriginal'", {}, {}};
    Figure library{"(c) readMediaValues, one thread", {}, {}};
    Figure dryRun{"(d) quorvel --date-source taken --dry-run", {}, {}};
    if (!onPath("exiv2"))
        exiv2.missing = "exiv2 not installed (apt-get install exiv2)";
    if (!onPath("exiftool"))
        exiftool.missing = "exiftool not installed (apt-get install libimage-exiftool-perl)";
    const std::vector<std::string> dryRunArgs = {quorvel,     "rename", "--date-source",
                                                 "taken",     "--mask", "%y%-%m%-%d% %h%.%min%.%s%",
                                                 "--dry-run", folder};
    if (::access(quorvel.c_str(), X_OK) != 0) {
        dryRun.missing = "no program at " + quorvel + " (set QUORVEL)";
    } else if (run(dryRunArgs, work, errors, work + "/names") > 1) {
        QFile message(QString::fromStdString(errors));
        message.open(QIODevice::ReadOnly);
        const QByteArray text = message.readAll().trimmed();
        dryRun.missing = text.contains("unknown option") ? "the program has no --date-source yet"
                                                         : "failed: " + text.left(80).toStdString();
    } else {
        // A program that does not read the date taken yet names the photos by another date, in
        // no time: its figure would say nothing.
        QFile report(QString::fromStdString(work + "/names"));
        report.open(QIODevice::ReadOnly);
        QByteArray first = QByteArray::fromStdString(bench::takenOf(0)).replace(':', '-');
        first[13] = '.';
        first[16] = '.';
        if (!report.readAll().contains("\t" + first + ".jpg"))
            dryRun.missing = "the program does not name the photos by their date taken yet";
    }

    QStringList paths;
    for (const std::string& name : names)
        paths.append(QString::fromStdString(folder + "/" + name));
    int wrong = 0;
    for (int i = 0; i < kRuns; ++i) {
        if (exiv2.missing.empty()) {
            // As many names to a command line as fit; the folder is the working folder.
            double seconds = 0;
            for (size_t at = 0; at < names.size();) {
                std::vector<std::string> command = {"exiv2", "-g", "Exif.Photo.DateTimeOriginal",
                                                    "-Pv"};
                for (size_t bytes = 0; at < names.size() && bytes < kCommandLineBytes; ++at) {
                    command.push_back(names[at]);
                    bytes += names[at].size() + 1;
                }
                const double start = now();
                if (run(command, folder, errors) != 0)
                    exiv2.missing = "exiv2 failed";
                seconds += now() - start;
            }
            exiv2.seconds.push_back(seconds);
        }
        if (exiftool.missing.empty()) {
            const double start = now();
            if (run({"exiftool", "-q", "-p", "$DateTimeOriginal", folder}, work, errors) != 0)
                exiftool.missing = "exiftool failed";
            exiftool.seconds.push_back(now() - start);
        }
        {
            const double start = now();
            wrong = 0;
            for (int f = 0; f < files; ++f) {
                const qv::WallTime taken = qv::readMediaValues(paths[f], qv::MediaDateTaken).taken;
                const QString text = taken.date.toString(QStringLiteral("yyyy:MM:dd ")) +
                                     taken.time.toString(QStringLiteral("HH:mm:ss"));
                wrong += text.toStdString() != bench::takenOf(f);
            }
            library.seconds.push_back(now() - start);
        }
        if (dryRun.missing.empty()) {
            const double start = now();
            if (run(dryRunArgs, work, errors) > 1)
                dryRun.missing = "failed";
            dryRun.seconds.push_back(now() - start);
        }
    }
    if (std::system(("rm -rf '" + work + "'").c_str()) != 0)
        std::fprintf(stderr, "cannot remove %s\n", work.c_str());

    std::printf("\n  %-44s %10s %12s\n", "", "median s", "files/s");
    for (const Figure* f : {&exiv2, &exiftool, &library, &dryRun})
        print(*f, files);
    std::printf("\n");
    ratio("(c)/(a) readMediaValues against exiv2", library, exiv2);
    ratio("(d)/(a) quorvel dry run against exiv2", dryRun, exiv2);
    ratio("(b)/(d) exiftool against quorvel dry run", exiftool, dryRun);
    if (wrong)
        std::printf("  readMediaValues gave %d dates other than the ones written: WRONG\n", wrong);
    return wrong ? 1 : 0;
}
