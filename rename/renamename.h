#pragma once

#include <QDate>
#include <QString>

#include <functional>

namespace qv {

// The rename settings as the main window's controls hold them at the moment of the call.
struct RenameSettings
{
    bool maskActive = false;
    QString mask = QStringLiteral("%name%");
    QString numStart = QStringLiteral("1");
    bool searchActive = false;
    QString searchOld;
    QString searchNew;
    bool searchInName = true;
    bool searchInExtension = false;
};

// Forms the new file name (with extension, without folder) of the entry `name` at list position
// `position`. For position -1 the entry's position is asked from previewPosition, which is only
// called when the expanded mask needs a number; it returns 0 when the preview path is not listed.
QString RenameName(const QString& name, int position, const RenameSettings& settings,
                   int entryCount, const QDate& today,
                   const std::function<int()>& previewPosition = {});

} // namespace qv
