#include "app/displayguard.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace qv {

namespace {

QtMessageHandler g_previous = nullptr;
QString* g_reason = nullptr;

void printAndExit(const QString& reason)
{
    std::fprintf(stderr, "quorvel: %s\n", qPrintable(reason));
    std::fflush(stderr);
    ::_exit(1);
}

// While the platform plugin starts, its warnings are held back: the first one usually says why
// no display could be opened, and the fatal message that follows only advises a reinstall.
void holdPlatformMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const bool platform = context.category && qstrncmp(context.category, "qt.qpa", 6) == 0;
    if (type == QtFatalMsg) {
        printAndExit(g_reason && !g_reason->isEmpty() ? *g_reason : text.section(u'\n', 0, 0));
    }
    if (platform && g_reason) {
        if (g_reason->isEmpty() && type != QtInfoMsg && type != QtDebugMsg)
            *g_reason = text.trimmed();
        return;
    }
    if (g_previous)
        g_previous(type, context, text);
}

} // namespace

void requireDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool needsDisplay =
        platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
    if (needsDisplay && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        printAndExit(QStringLiteral("no display available (DISPLAY/WAYLAND_DISPLAY not set)"));
#endif
    g_reason = new QString;
    g_previous = qInstallMessageHandler(holdPlatformMessages);
}

void displayFound()
{
    qInstallMessageHandler(g_previous);
    delete g_reason;
    g_reason = nullptr;
}

} // namespace qv
