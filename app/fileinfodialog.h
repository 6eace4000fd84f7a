#pragma once

#include <QDialog>

namespace qv {

// A read-only summary of one file, for desktops without a file manager that shows properties.
class FileInfoDialog : public QDialog
{
    Q_OBJECT
public:
    FileInfoDialog(QWidget* parent, const QString& path);
    // Shows a non-modal dialog that deletes itself when closed.
    static void showFor(QWidget* parent, const QString& path);
};

} // namespace qv
