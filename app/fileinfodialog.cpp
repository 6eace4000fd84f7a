#include "app/fileinfodialog.h"

#include "app/windows.h"
#include "filelist/sizetext.h"
#include "text/pathbytes.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv {

namespace {

QString permissionText(QFileDevice::Permissions p)
{
    const struct
    {
        QFileDevice::Permission flag;
        char letter;
    } bits[] = {{QFileDevice::ReadOwner, 'r'},  {QFileDevice::WriteOwner, 'w'},
                {QFileDevice::ExeOwner, 'x'},   {QFileDevice::ReadGroup, 'r'},
                {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
                {QFileDevice::ReadOther, 'r'},  {QFileDevice::WriteOther, 'w'},
                {QFileDevice::ExeOther, 'x'}};
    QString text;
    for (const auto& b : bits)
        text += (p & b.flag) ? QChar::fromLatin1(b.letter) : QChar('-');
    return text;
}

QString ownerText(const QFileInfo& info)
{
    // Files of users without a passwd or group entry still have their numbers.
    const QString user = info.owner().isEmpty() ? QString::number(info.ownerId()) : info.owner();
    const QString group = info.group().isEmpty() ? QString::number(info.groupId()) : info.group();
    return user + QStringLiteral(" / ") + group;
}

} // namespace

FileInfoDialog::FileInfoDialog(QWidget* parent, const QString& path) : QDialog(parent)
{
    setObjectName(QStringLiteral("fileinfo"));
    const Language language = interfaceLanguage();
    const QFileInfo info(path);
    setWindowTitle(shownText(info.fileName()));
    auto* form = new QFormLayout;
    auto addRow = [&](const char* de, const char* en, const QString& value) {
        auto* v = new QLabel(value);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(pick(language, de, en), v);
    };
    addRow("Name:", "Name:", shownText(info.fileName()));
    addRow("Ordner:", "Folder:", shownText(info.absolutePath()));
    addRow("Größe:", "Size:",
           SizeText(info.size()) + QStringLiteral(" (") + QLocale().toString(info.size()) +
               QStringLiteral(" Bytes)"));
    addRow("Geändert:", "Modified:", QLocale().toString(info.lastModified(), QLocale::LongFormat));
    addRow("Rechte:", "Permissions:", permissionText(info.permissions()));
    addRow("Besitzer:", "Owner:", ownerText(info));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(pick(language, "Schließen", "Close"));
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
