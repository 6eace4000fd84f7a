#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace qv {

// Everything that leaves the program or waits for the user: message boxes, dialogs, the web
// browser, the file manager and the clipboard. Tests install their own implementation so that
// nothing blocks and every request can be observed.
class Platform
{
public:
    virtual ~Platform() = default;

    // Modal warning box titled "Warning" with the single button "OK".
    virtual void warning(QWidget* parent, const QString& text) = 0;
    // The standard error box, titled with the application title.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // A question titled with the application title, with Yes and No; No is the default.
    virtual bool ask(QWidget* parent, const QString& text) = 0;

    // Folder dialog opened at folder when it exists; true and folder replaced when confirmed.
    virtual bool pickFolderAt(QWidget* parent, const QString& title, QString& folder) = 0;
    // Folder dialog opened at the desktop; the chosen folder or empty when cancelled.
    virtual QString pickFolderFromDesktop(QWidget* parent, const QString& title) = 0;

    // Runs a configured file dialog (the main window's sd_konfig or od_konfig); the chosen file
    // name, or empty when the user cancelled.
    virtual QString runFileDialog(QFileDialog* dialog) = 0;

    virtual void openUrl(const QString& address) = 0;

    // The file manager: show a file selected in its folder, or its properties.
    virtual void showItemInFolder(const QString& path) = 0;
    virtual void showItemProperties(QWidget* parent, const QString& path) = 0;

    // Puts files on the clipboard so that file managers can paste them.
    virtual void copyFilesToClipboard(const QStringList& paths) = 0;
};

Platform& platform();
// Replaces the platform for the rest of the run (tests); the previous one is returned.
Platform* setPlatform(Platform* platform);

// The real desktop: Qt dialogs, QDesktopServices, the freedesktop file manager over D-Bus.
class DesktopPlatform : public Platform
{
public:
    void warning(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    bool ask(QWidget* parent, const QString& text) override;
    bool pickFolderAt(QWidget* parent, const QString& title, QString& folder) override;
    QString pickFolderFromDesktop(QWidget* parent, const QString& title) override;
    QString runFileDialog(QFileDialog* dialog) override;
    void openUrl(const QString& address) override;
    void showItemInFolder(const QString& path) override;
    void showItemProperties(QWidget* parent, const QString& path) override;
    void copyFilesToClipboard(const QStringList& paths) override;
};

} // namespace qv
