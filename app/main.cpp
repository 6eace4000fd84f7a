#include "app/displayguard.h"
#include "app/startup.h"
#include "app/tstart.h"
#include "app/windows.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    qv::requireDisplay();
    QApplication app(argc, argv);
    qv::displayFound();
    qv::createWindows();
    qv::start->show();
    qv::scheduleScreenshotIfAsked();
    const int rc = QApplication::exec();
    qv::destroyWindows();
    return rc;
}
