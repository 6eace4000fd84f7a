#include "cli/commandline.h"
#include "cli/headless.h"
#include "cli/runmemory.h"

#if defined(QUORVEL_WINDOW_MODULE)
#include "app/windowmodule.h"
#else
#include "app/windowmain.h"
#endif

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    // The command line is read before any application object exists: help, version, rename and
    // undo need no display.
    const qv::CommandLine line = qv::parseCommandLine(argc, argv);
    if (line.command != qv::CommandLine::Command::Window) {
        if (line.command == qv::CommandLine::Command::Rename ||
            line.command == qv::CommandLine::Command::Undo)
            qv::prepareHeapForOneRun();
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return qv::runCommand(line, out, err);
    }
#if defined(QUORVEL_WINDOW_MODULE)
    return qv::runWindowModule(argc, argv);
#else
    return qv::runWindows(argc, argv, line);
#endif
}
