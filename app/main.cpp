#include "app/startup.h"
#include "app/tstart.h"
#include "app/windows.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    qv::createWindows();
    qv::start->show();
    qv::scheduleScreenshotIfAsked();
    const int rc = QApplication::exec();
    qv::destroyWindows();
    return rc;
}
