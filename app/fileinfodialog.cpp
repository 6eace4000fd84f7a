#include "app/fileinfodialog.h"

#include "filelist/sizetext.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

namespace qv {

namespace {

QString permissionText(QFileDevice::Permissions p)
{
    const struct
    {
        QFileDevice::Permission flag;
        char letter;
    } bits[] = {{QFileDevice::ReadOwner, 'r'}, {QFileDevice::WriteOwner, 'w'},
                {QFileDevice::ExeOwner, 'x'},  {QFileDevice::ReadGroup, 'r'},
                {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
                {QFileDevice::ReadOther, 'r'}, {QFileDevice::WriteOther, 'w'},
                {QFileDevice::ExeOther, 'x'}};
    QString text;
    for (const auto& b : bits)
        text += (p & b.flag) ? QChar::fromLatin1(b.letter) : QChar('-');
    return text;
}

} // namespace

FileInfoDialog::FileInfoDialog(QWidget* parent, const QString& path) : QDialog(parent)
{
    setObjectName(QStringLiteral("fileinfo"));
    const QFileInfo info(path);
    setWindowTitle(info.fileName());
    auto* form = new QFormLayout;
    auto addRow = [&](const QString& label, const QString& value) {
        auto* v = new QLabel(value);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(label, v);
    };
    addRow(QStringLiteral("Name:"), info.fileName());
    addRow(QStringLiteral("Folder:"), info.absolutePath());
    addRow(QStringLiteral("Size:"), SizeText(info.size()));
    addRow(QStringLiteral("Modified:"),
           QLocale().toString(info.lastModified(), QLocale::LongFormat));
    addRow(QStringLiteral("Permissions:"), permissionText(info.permissions()));
    addRow(QStringLiteral("Owner:"), info.owner() + QStringLiteral(" / ") + info.group());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void FileInfoDialog::showFor(QWidget* parent, const QString& path)
{
    auto* dialog = new FileInfoDialog(parent, path);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

} // namespace qv
