#include "app/displayguard.h"
#include "app/startpaths.h"
#include "app/startup.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "cli/commandline.h"
#include "cli/headless.h"
#include "cli/runmemory.h"
#include "text/appinfo.h"
#include "text/messagetexts.h"

#include <QApplication>
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

    qv::setStartLanguage(line.language);
    qv::requireDisplay();
    QApplication app(argc, argv);
    qv::displayFound();
    // Lets the desktop match the windows with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(qv::desktopId);
    qv::createWindows();
    qv::start->show();
    qv::scheduleScreenshotIfAsked();
    qv::addPathsOnStart(line.paths);
    const int rc = QApplication::exec();
    qv::destroyWindows();
    return rc;
}
