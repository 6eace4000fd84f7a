#include "app/platform.h"

#include "app/fileinfodialog.h"
#include "app/windows.h"
#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QStandardPaths>
#include <QUrl>

#include <functional>

namespace qv {

namespace {

DesktopPlatform& desktop()
{
    static DesktopPlatform instance;
    return instance;
}

Platform* g_platform = nullptr;

// A file manager started by D-Bus activation may take a few seconds to answer its first call.
constexpr int kFileManagerTimeoutMs = 10000;

// Asks the session's file manager through the freedesktop interface without waiting for it: the
// call is asynchronous, so neither a missing nor a slow file manager can freeze the window.
// fallback runs when no file manager answers (no session bus, no such service and none to
// activate, an error reply or the timeout).
void callFileManager(const QString& method, const QString& path, std::function<void()> fallback)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        fallback();
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
                                       QStringLiteral("/org/freedesktop/FileManager1"),
                                       QStringLiteral("org.freedesktop.FileManager1"), method);
    call << QStringList{QString::fromUtf8(qv::urlFromPath(path).toEncoded())} << QString();
    // Without a registered owner the bus starts an activatable file manager itself, and answers
    // at once with an error when there is none; no separate look-up is needed.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kFileManagerTimeoutMs), qApp);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, qApp,
                     [fallback = std::move(fallback)](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         if (w->isError())
                             fallback();
                     });
}

} // namespace

Platform& platform()
{
    return g_platform ? *g_platform : desktop();
}

Platform* setPlatform(Platform* platform)
{
    Platform* previous = g_platform;
    g_platform = platform;
    return previous;
}

void DesktopPlatform::warning(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::Ok, parent);
    box.exec();
}

void DesktopPlatform::error(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

bool DesktopPlatform::ask(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, applicationTitle, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool DesktopPlatform::pickFolderAt(QWidget* parent, const QString& title, QString& folder)
{
    const QString startIn = QFileInfo(folder).isDir() ? folder : QString();
    const QString chosen =
        QFileDialog::getExistingDirectory(parent, title, startIn, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return false;
    folder = chosen;
    return true;
}

QString DesktopPlatform::pickFolderFromDesktop(QWidget* parent, const QString& title)
{
    QString desk = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (desk.isEmpty() || !QFileInfo(desk).isDir())
        desk = QDir::homePath();
    return QFileDialog::getExistingDirectory(parent ? parent : QApplication::activeWindow(), title,
                                             desk, QFileDialog::ShowDirsOnly);
}

QString DesktopPlatform::runFileDialog(QFileDialog* dialog)
{
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().constFirst();
}

void DesktopPlatform::openUrl(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

void DesktopPlatform::showItemInFolder(const QString& path)
{
    QString folderPath = qv::folderPart(path);
    if (folderPath.size() > 1)
        folderPath.chop(1);
    const QUrl folder = qv::urlFromPath(folderPath);
    callFileManager(QStringLiteral("ShowItems"), path,
                    [folder] { QDesktopServices::openUrl(folder); });
}

void DesktopPlatform::showItemProperties(QWidget* parent, const QString& path)
{
    // The answer may come after the window that asked is gone.
    const QPointer<QWidget> owner(parent);
    callFileManager(QStringLiteral("ShowItemProperties"), path,
                    [owner, path] { FileInfoDialog::showFor(owner.data(), path); });
}

void DesktopPlatform::copyFilesToClipboard(const QStringList& paths)
{
    QByteArray uriList;
    QByteArray gnome("copy");
    QList<QUrl> urls;
    for (const QString& p : paths) {
        const QUrl url = qv::urlFromPath(p);
        urls.append(url);
        uriList += url.toEncoded() + "\r\n";
        gnome += "\n" + url.toEncoded();
    }
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), uriList);
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    data->setData(QStringLiteral("application/x-kde-cutselection"), QByteArray("0"));
    QApplication::clipboard()->setMimeData(data);
}

} // namespace qv
