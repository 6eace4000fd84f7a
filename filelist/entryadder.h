#pragma once

#include "filelist/folderscan.h"
#include "text/pathkind.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace qv {

class FileListModel;

// What a path names, as it resolves: a link to a folder is a folder.
PathKind pathKind(const QString& path);
// Whether anything is at the path, a dangling link too.
bool pathExists(const QString& path);
// Whether the folder's names can be read and its files reached.
bool isReadableFolder(const QString& path);

// What the window reads from its controls for one adding operation.
struct AddSettings
{
    // The status column of each new entry, in the language of the moment.
    QString status;
    // The gates: whether files, and folders, may be added at all.
    bool files = true;
    bool folders = true;
};

struct AddResult
{
    int added = 0;
    // Paths refused because the list holds them already, in the order they came.
    QStringList duplicates;
};

// Forms entries from paths and adds them to the list: the gates, the duplicate rule and the size
// of each file. Each addition and each refused duplicate is reported when it happens, so that a
// window can show progress, and its duplicate message before the next path is looked at.
class EntryAdder
{
public:
    EntryAdder(FileListModel& list, AddSettings settings);

    // Called after each addition with the number of entries now listed.
    void setAddedHandler(std::function<void(int count)> handler);
    // Called for each refused duplicate; folder tells which kind of entry was refused.
    void setDuplicateHandler(std::function<void(const QString& path, bool folder)> handler);

    // Files given by path, each size looked up when the file is added.
    AddResult addFiles(const QStringList& paths);
    AddResult addFolders(const QStringList& paths);
    // Files found by a scan, with the sizes the scan read; those it could not read are skipped.
    // `uniquePaths`: the files are known to differ from each other (a scan with one pattern).
    AddResult addScanned(const QList<ScannedFile>& files, bool uniquePaths = false);

private:
    void refuse(AddResult& result, const QString& path, bool folder);
    void added(AddResult& result);

    FileListModel& m_list;
    AddSettings m_settings;
    std::function<void(int)> m_addedHandler;
    std::function<void(const QString&, bool)> m_duplicateHandler;
};

} // namespace qv
