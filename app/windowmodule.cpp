#include "app/windowmodule.h"

#include <QByteArray>
#include <QByteArrayList>

#include <cstdio>

#include <dlfcn.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

using RunWindows = int (*)(int*, char**);

// The folder of the running program, from the kernel (argv[0] may be a bare name or a link).
QByteArray programFolder()
{
    char path[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (size <= 0)
        return QByteArrayLiteral("./");
    QByteArray folder(path, size);
    return folder.left(folder.lastIndexOf('/') + 1);
}

// Code is loaded only from a file, in a folder, that belong to root or this user and that not
// everybody may change: a module planted in a shared folder such as /tmp never runs.
bool trusted(const QByteArray& path)
{
    const auto safe = [](const QByteArray& name, bool file) {
        struct stat st;
        return ::stat(name.constData(), &st) == 0 && (!file || S_ISREG(st.st_mode)) &&
               (st.st_uid == 0 || st.st_uid == ::getuid()) && (st.st_mode & S_IWOTH) == 0;
    };
    return safe(path, true) && safe(path.left(path.lastIndexOf('/') + 1), false);
}

} // namespace

int runWindowModule(int& argc, char** argv)
{
    const QByteArray folder = programFolder();
    // Installed, the module lies in the library folder; in a build folder, beside the program.
    // A copy of the program elsewhere (which keeps its settings beside itself) still finds the
    // module where it was installed or built.
    const QByteArrayList places = {
        folder + QByteArrayLiteral(QUORVEL_WINDOW_MODULE),
        folder + QByteArrayLiteral("quorvel-window.so"),
        QByteArrayLiteral(QUORVEL_WINDOW_MODULE_INSTALLED),
        QByteArrayLiteral(QUORVEL_WINDOW_MODULE_BUILT),
    };
    QByteArray reason = QByteArrayLiteral("no module quorvel-window.so");
    for (const QByteArray& path : places) {
        if (::access(path.constData(), F_OK) != 0)
            continue;
        if (!trusted(path)) {
            reason = path + QByteArrayLiteral(": others may change it");
            continue;
        }
        void* module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        const auto run =
            module ? reinterpret_cast<RunWindows>(::dlsym(module, "quorvel_run_windows")) : nullptr;
        if (run) {
            // The module stays loaded to the end: Qt's exit handlers may still run its code.
            return run(&argc, argv);
        }
        reason = ::dlerror();
    }
    std::fprintf(stderr, "quorvel: cannot open a window: %s\n", reason.constData());
    return 1;
}

} // namespace qv
