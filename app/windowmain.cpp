#include "app/windowmain.h"

#include "app/displayguard.h"
#include "app/startpaths.h"
#include "app/startup.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "text/appinfo.h"

#include <QApplication>

namespace qv {

int runWindows(int& argc, char** argv, const CommandLine& line)
{
    setStartLanguage(line.language);
    requireDisplay();
    QApplication app(argc, argv);
    displayFound();
    // Lets the desktop match the windows with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(desktopId);
    createWindows();
    start->show();
    scheduleScreenshotIfAsked();
    addPathsOnStart(line.paths);
    const int rc = QApplication::exec();
    destroyWindows();
    return rc;
}

} // namespace qv

extern "C" Q_DECL_EXPORT int quorvel_run_windows(int* argc, char** argv)
{
    return qv::runWindows(*argc, argv, qv::parseCommandLine(*argc, argv));
}
