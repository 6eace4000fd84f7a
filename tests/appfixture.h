#pragma once

#include "app/tprog.h"
#include "app/tstart.h"
#include "app/windows.h"
#include "tests/fakeplatform.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

// The seven windows created as at start-up, in a working directory of the test's own (marker
// files choose the language there), with a fake platform answering all dialogs.
class AppFixture
{
public:
    explicit AppFixture(const QString& language = QStringLiteral("de"))
    {
        m_oldCwd = QDir::currentPath();
        if (language == QLatin1String("en")) {
            QFile marker(m_cwd.filePath(QStringLiteral("en")));
            marker.open(QIODevice::WriteOnly);
        }
        QDir::setCurrent(m_cwd.path());
        qv::createWindows();
        // Tests drive the timers' handlers themselves.
        qv::start->Timer1->stop();
    }
    ~AppFixture()
    {
        qv::destroyWindows();
        QDir::setCurrent(m_oldCwd);
    }

    Tprog* prog() const { return qv::prog; }
    Tstart* start() const { return qv::start; }
    FakePlatform platform;

private:
    QTemporaryDir m_cwd;
    QString m_oldCwd;
};

// The child of the window with that objectName, failing the test when it is missing.
template <typename T> T* component(QObject* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("component %s missing", name);
    return found;
}
