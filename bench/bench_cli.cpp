// The command line against the other tools that rename many files, side by side in one run:
// quorvel, perl rename (file-rename), mmv, and the floor any of them stands on, a bare loop of
// system calls written here. Each figure is the median of five runs of a child process, with the
// child's peak memory; files lie on tmpfs, so that the disk does not hide the programs' own cost.
//   rename     100,000 files of one folder renamed (quorvel with its undo journal)
//   dry run    the same files, nothing renamed
//   million    10 folders x 100,000 files, a recursive dry run over their parent folder
// Usage: bench_cli [files per folder; default 100000] [folders for the million; default 10]
// QUORVEL names the program to measure; without, the one built beside this benchmark.
#include "benchtools.h"

#include <QCoreApplication>
#include <QDir>
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

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

constexpr int kRuns = 5;

struct Sample
{
    double seconds = 0;
    double peakMb = 0;
    bool ok = true;
};

struct Figure
{
    Figure(const char* name) : tool(name) {}

    std::string tool;
    std::vector<Sample> samples;
    bool missing = false;

    double median(double Sample::*field) const
    {
        std::vector<double> values;
        for (const Sample& s : samples)
            values.push_back(s.*field);
        if (values.empty())
            return 0;
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }
    bool ok() const
    {
        return std::all_of(samples.begin(), samples.end(), [](const Sample& s) { return s.ok; });
    }
};

double now()
{
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// What a child does: either a program to execute or work of this process's own.
struct Child
{
    std::vector<std::string> argv;
    std::function<int()> work;
    std::string cwd;
    // Standard input from this file; /dev/null without.
    std::string input;
};

std::string g_errors;

Sample runChild(const Child& child)
{
    const double start = now();
    const pid_t pid = ::fork();
    if (pid < 0) {
        std::perror("fork");
        std::exit(1);
    }
    if (pid == 0) {
        if (!child.cwd.empty() && ::chdir(child.cwd.c_str()) != 0)
            ::_exit(126);
        const int in = ::open(child.input.empty() ? "/dev/null" : child.input.c_str(), O_RDONLY);
        const int out = ::open("/dev/null", O_WRONLY);
        const int err = ::open(g_errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0)
            ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (child.work)
            ::_exit(child.work());
        std::vector<char*> args;
        for (const std::string& a : child.argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    Sample sample;
    sample.seconds = now() - start;
    sample.peakMb = double(usage.ru_maxrss) / 1024.0;
    // Exit code 1 is a refusal of some entries; only 2 and beyond mean the run failed.
    sample.ok = WIFEXITED(status) && WEXITSTATUS(status) <= 1;
    if (!sample.ok) {
        std::fprintf(stderr, "  %s failed (status %d):\n",
                     child.argv.empty() ? "floor" : child.argv[0].c_str(), status);
        const std::string show = "head -n 3 '" + g_errors + "' >&2";
        if (std::system(show.c_str()) != 0)
            std::fprintf(stderr, "  (no message)\n");
    }
    return sample;
}

bool onPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::string all = path ? path : "/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= all.size()) {
        size_t end = all.find(':', begin);
        if (end == std::string::npos)
            end = all.size();
        const std::string candidate = all.substr(begin, end - begin) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0)
            return true;
        begin = end + 1;
    }
    return false;
}

std::string fileName(int i)
{
    char name[32];
    std::snprintf(name, sizeof name, "f%06d.dat", i);
    return name;
}

void makeFiles(const std::string& folder, int count)
{
    ::mkdir(folder.c_str(), 0755);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 0; i < count; ++i) {
        const int fd =
            ::openat(dir, fileName(i).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::perror(folder.c_str());
            std::exit(1);
        }
        ::close(fd);
    }
    ::close(dir);
}

void removeTree(const std::string& path)
{
    const std::string command = "rm -rf '" + path + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "cannot remove %s\n", path.c_str());
}

void writeNames(const std::string& list, const std::vector<std::string>& names)
{
    FILE* f = std::fopen(list.c_str(), "w");
    for (const std::string& n : names)
        std::fprintf(f, "%s\n", n.c_str());
    std::fclose(f);
}

std::vector<std::string> namesIn(const std::string& prefix, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(prefix + fileName(i));
    return names;
}

// The floor of a rename: the folder read once, then one renameat2 per file.
int bareRename(const std::string& folder)
{
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = ::fdopendir(::dup(dir));
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.')
            names.emplace_back(e->d_name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    int number = 0;
    for (const std::string& name : names) {
        char to[32];
        std::snprintf(to, sizeof to, "p-%06d.dat", ++number);
        if (::syscall(SYS_renameat2, dir, name.c_str(), dir, to, RENAME_NOREPLACE) != 0)
            return 1;
    }
    return 0;
}

struct Scenario
{
    const char* title;
    const char* floorName;
    std::vector<Figure> figures;
};

void print(const Scenario& s)
{
    std::printf("\n%s\n", s.title);
    std::printf("  %-22s %10s %10s %10s %10s\n", "", "median s", "x floor", "peak MB", "");
    const double floor = s.figures.front().median(&Sample::seconds);
    for (const Figure& f : s.figures) {
        if (f.missing) {
            std::printf("  %-22s %10s   (not installed: skipped)\n", f.tool.c_str(), "-");
            continue;
        }
        const double t = f.median(&Sample::seconds);
        std::printf("  %-22s %10.3f %10.2f %10.1f %10s\n", f.tool.c_str(), t, t / floor,
                    f.median(&Sample::peakMb), f.ok() ? "" : "FAILED");
    }
}

const Figure* find(const Scenario& s, const std::string& tool)
{
    for (const Figure& f : s.figures) {
        if (f.tool == tool && !f.missing)
            return &f;
    }
    return nullptr;
}

void verdict(const char* what, bool met, const std::string& detail)
{
    std::printf("  %-58s %-6s %s\n", what, met ? "met" : "MISSED", detail.c_str());
}

std::string format(const char* pattern, double a, double b)
{
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 10;
    QString programPath = qEnvironmentVariable("QUORVEL");
    if (programPath.isEmpty())
        programPath = QCoreApplication::applicationDirPath() + QStringLiteral("/../app/quorvel");
    const std::string quorvel = QFileInfo(programPath).absoluteFilePath().toStdString();
    if (::access(quorvel.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "bench_cli: no program at %s (set QUORVEL)\n", quorvel.c_str());
        return 1;
    }

    // tmpfs where there is one, so that the figures are those of the programs.
    std::string base = "/dev/shm";
    struct statfs fs;
    if (::statfs(base.c_str(), &fs) != 0 || fs.f_type != TMPFS_MAGIC ||
        ::access(base.c_str(), W_OK) != 0) {
        base = QDir::tempPath().toStdString();
        std::printf("bench_cli: no writable tmpfs at /dev/shm; files in %s\n", base.c_str());
    }
    std::string work = base + "/quorvel-bench-XXXXXX";
    if (!::mkdtemp(work.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    g_errors = work + "/stderr";
    // The journal of the runs measured, not the user's.
    ::setenv("XDG_DATA_HOME", (work + "/data").c_str(), 1);
    const bool perl = onPath("file-rename");
    const bool mmv = onPath("mmv");
    const std::string perlRename = perl ? "file-rename" : "";
    std::printf("bench_cli: %d files, %d runs each, median; files in %s\n", files, kRuns,
                work.c_str());
    if (!perl)
        std::printf("  perl rename (file-rename) not installed: its columns are skipped "
                    "(apt-get install rename)\n");
    if (!mmv)
        std::printf("  mmv not installed: its columns are skipped (apt-get install mmv)\n");

    const std::string one = work + "/one";
    const std::string list = work + "/names";
    writeNames(list, namesIn("", files));
    const std::string mask = "p-%0num%";
    const std::string perlExpr = "$_ = sprintf(\"p-%06d.dat\", ++$::n)";

    // 1. The rename, each run on fresh files.
    Scenario rename{"rename: one folder, renamed (quorvel with undo journal, output to /dev/null)",
                    "renameat2 loop",
                    {{"floor: renameat2 loop"}, {"quorvel rename"}, {"perl rename"}, {"mmv"}}};
    rename.figures[2].missing = !perl;
    rename.figures[3].missing = !mmv;
    for (int run = 0; run < kRuns; ++run) {
        for (Figure& f : rename.figures) {
            if (f.missing)
                continue;
            removeTree(one);
            makeFiles(one, files);
            Child child;
            child.cwd = one;
            if (f.tool.rfind("floor", 0) == 0) {
                child.work = [&] { return bareRename(one); };
            } else if (f.tool == "quorvel rename") {
                child.argv = {quorvel,        "rename", "--lang", "en",
                              "--no-folders", "--mask", mask,     one};
            } else if (f.tool == "perl rename") {
                child.argv = {perlRename, "-d", "-e", perlExpr};
                child.input = list;
            } else {
                child.argv = {"mmv", "f*", "p-#1"};
            }
            Sample sample = runChild(child);
            if (::access((one + "/" + fileName(0)).c_str(), F_OK) == 0) {
                std::fprintf(stderr, "  %s left the files as they were\n", f.tool.c_str());
                sample.ok = false;
            }
            f.samples.push_back(sample);
        }
    }

    // 2. The dry run of the same files.
    removeTree(one);
    makeFiles(one, files);
    Scenario dry{
        "dry run: the same folder, nothing renamed",
        "readdir + fstatat walk",
        {{"floor: readdir+fstatat"}, {"quorvel --dry-run"}, {"perl rename -n"}, {"mmv -n"}}};
    dry.figures[2].missing = !perl;
    dry.figures[3].missing = !mmv;
    for (int run = 0; run < kRuns; ++run) {
        for (Figure& f : dry.figures) {
            if (f.missing)
                continue;
            Child child;
            child.cwd = one;
            if (f.tool.rfind("floor", 0) == 0) {
                child.work = [&] {
                    return bench::bareWalk(::open(one.c_str(), O_RDONLY | O_DIRECTORY)) == files
                               ? 0
                               : 2;
                };
            } else if (f.tool == "quorvel --dry-run") {
                child.argv = {quorvel,  "rename", "--lang",    "en", "--no-folders",
                              "--mask", mask,     "--dry-run", one};
            } else if (f.tool == "perl rename -n") {
                child.argv = {perlRename, "-n", "-d", "-e", perlExpr};
                child.input = list;
            } else {
                child.argv = {"mmv", "-n", "f*", "p-#1"};
            }
            f.samples.push_back(runChild(child));
        }
    }
    removeTree(one);

    // 3. A million: folders of files under one parent, a recursive dry run.
    const std::string tree = work + "/tree";
    ::mkdir(tree.c_str(), 0755);
    std::vector<std::string> treeNames;
    for (int d = 0; d < folders; ++d) {
        const std::string sub = "d" + std::to_string(d) + "/";
        makeFiles(tree + "/" + sub, files);
        const std::vector<std::string> names = namesIn(sub, files);
        treeNames.insert(treeNames.end(), names.begin(), names.end());
    }
    writeNames(list, treeNames);
    treeNames.clear();
    treeNames.shrink_to_fit();
    char title[160];
    std::snprintf(title, sizeof title, "million: %d folders x %d files, recursive dry run", folders,
                  files);
    Scenario million{
        title,
        "readdir + fstatat walk",
        {{"floor: readdir+fstatat"}, {"quorvel --recursive -n"}, {"perl rename -n"}, {"mmv -n"}}};
    million.figures[2].missing = !perl;
    million.figures[3].missing = !mmv;
    for (int run = 0; run < kRuns; ++run) {
        for (Figure& f : million.figures) {
            if (f.missing)
                continue;
            Child child;
            child.cwd = tree;
            if (f.tool.rfind("floor", 0) == 0) {
                child.work = [&] {
                    return bench::bareWalk(::open(tree.c_str(), O_RDONLY | O_DIRECTORY)) ==
                                   long(files) * folders
                               ? 0
                               : 2;
                };
            } else if (f.tool.rfind("quorvel", 0) == 0) {
                child.argv = {quorvel,     "rename",       "--lang", "en", "--recursive",
                              "--dry-run", "--no-folders", "--mask", mask, tree};
            } else if (f.tool.rfind("perl", 0) == 0) {
                child.argv = {perlRename, "-n", "-d", "-e", perlExpr};
                child.input = list;
            } else {
                child.argv = {"mmv", "-n", "*/f*", "#1/p-#2"};
            }
            f.samples.push_back(runChild(child));
        }
    }
    removeTree(work);

    print(rename);
    print(dry);
    print(million);

    std::printf("\nGoals\n");
    const Figure* q = find(rename, "quorvel rename");
    const double floorRename = rename.figures[0].median(&Sample::seconds);
    const double qRename = q->median(&Sample::seconds);
    verdict("rename within 1.3x the renameat2 loop", qRename <= 1.3 * floorRename,
            format("%.2fx (%.3f s)", qRename / floorRename, qRename));
    if (const Figure* m = find(rename, "mmv"))
        verdict("rename faster than mmv", qRename < m->median(&Sample::seconds),
                format("%.3f s against %.3f s", qRename, m->median(&Sample::seconds)));
    const Figure* qd = find(dry, "quorvel --dry-run");
    if (const Figure* m = find(dry, "mmv -n"))
        verdict("dry run faster than mmv -n",
                qd->median(&Sample::seconds) < m->median(&Sample::seconds),
                format("%.3f s against %.3f s", qd->median(&Sample::seconds),
                       m->median(&Sample::seconds)));
    verdict("rename peak memory <= 50 MB", q->median(&Sample::peakMb) <= 50,
            format("%.1f MB", q->median(&Sample::peakMb), 0));
    const Figure* qm = find(million, "quorvel --recursive -n");
    verdict("million: <= 3 s and <= 300 MB",
            qm->median(&Sample::seconds) <= 3 && qm->median(&Sample::peakMb) <= 300,
            format("%.3f s, %.1f MB", qm->median(&Sample::seconds), qm->median(&Sample::peakMb)));
    return 0;
}
