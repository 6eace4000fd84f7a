#pragma once

#include "app/platform.h"

#include <QStringList>

// Records every request that would leave the program and answers dialogs from prepared values,
// so widget tests never block.
class FakePlatform : public qv::Platform
{
public:
    FakePlatform() { m_previous = qv::setPlatform(this); }
    ~FakePlatform() override { qv::setPlatform(m_previous); }

    QStringList warnings;
    QStringList errors;
    QStringList urls;
    QStringList shownItems;
    QStringList propertyItems;
    QList<QStringList> clipboard;
    QStringList folderDialogTitles;
    QStringList questions;
    // Answer of every question: false is No.
    bool askAnswer = false;

    // Answers of the folder dialogs: a chosen folder, or empty for a cancel.
    QString pickAtAnswer;
    QString pickFromDesktopAnswer;
    int pickAtCalls = 0;
    int pickFromDesktopCalls = 0;
    // Answer of the next configuration file dialog; empty for a cancel.
    QString fileDialogAnswer;
    int fileDialogCalls = 0;

    void warning(QWidget*, const QString& text) override { warnings.append(text); }
    void error(QWidget*, const QString& text) override { errors.append(text); }
    bool ask(QWidget*, const QString& text) override
    {
        questions.append(text);
        return askAnswer;
    }
    bool pickFolderAt(QWidget*, const QString& title, QString& folder) override
    {
        ++pickAtCalls;
        folderDialogTitles.append(title);
        if (pickAtAnswer.isEmpty())
            return false;
        folder = pickAtAnswer;
        return true;
    }
    QString pickFolderFromDesktop(QWidget*, const QString& title) override
    {
        ++pickFromDesktopCalls;
        folderDialogTitles.append(title);
        return pickFromDesktopAnswer;
    }
    QString runFileDialog(QFileDialog*) override
    {
        ++fileDialogCalls;
        return fileDialogAnswer;
    }
    void openUrl(const QString& address) override { urls.append(address); }
    void showItemInFolder(const QString& path) override { shownItems.append(path); }
    void showItemProperties(QWidget*, const QString& path) override { propertyItems.append(path); }
    void copyFilesToClipboard(const QStringList& paths) override { clipboard.append(paths); }

private:
    qv::Platform* m_previous = nullptr;
};
