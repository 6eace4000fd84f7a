#pragma once

#include <QCoreApplication>
#include <QTimer>

// Runs the application's event loop until something ends it, or fails it with failCode once
// timeoutMs have passed. The watchdog lives only as long as this call: a watchdog that outlived
// its test could end the event loop of a later one.
inline int execWithWatchdog(int failCode, int timeoutMs = 30000)
{
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [failCode] { QCoreApplication::exit(failCode); });
    watchdog.start(timeoutMs);
    return QCoreApplication::exec();
}
