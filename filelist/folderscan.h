#pragma once

#include "rename/folderlisting.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace qv {

class TextBlocks;

// The pieces of text between separators, empty pieces included ("" gives one empty piece).
QStringList SplitText(const QString& text, QChar separator);

// Patterns for a scan: "*.*" for all files, otherwise ".ext" per non-empty item of the filter
// text with blanks removed.
QStringList scanPatterns(bool allFiles, const QString& filterText);

// What a scan keeps beside the paths it finds, where its files are renamed at once (the command
// line): the paths' text in blocks (see TextBlocks; the paths found must then not outlive it),
// and the listing of each folder it reads many files of, for the run's journal (see
// FolderListing).
struct ScanKeeping
{
    TextBlocks* pathText = nullptr;
    FolderListings* listings = nullptr;
};

struct ScannedFile
{
    QString path;
    // In bytes, as the scan found it; -1 when the file could not be looked up (gone meanwhile).
    qint64 size = -1;
};

// Appends the files of folder that match one of the patterns (file name ends with the pattern,
// letter case ignored; "*.*" matches every file). With recursive set, the files of each subfolder
// come first (names sorted per folder, symbolic links to folders not followed), then the folder's
// own files, one pass per pattern. Folders that cannot be read contribute nothing. afterFolder,
// when given, runs after each folder's files are appended, and every 2048 entries while a large
// folder is read (a window keeps painting meanwhile).
// Depth is limited by nothing but memory: paths longer than PATH_MAX are listed too.
// skipHidden leaves out files and folders whose names start with "." (the command line does, so
// that a run over a project never enters .git); the window lists them. Without sizes, a file
// the folder lists as a regular file is taken with size 0 and not looked up: the command line
// needs sizes only to sort by them. `keeping` serves a scan whose files are renamed at once.
void ScanFolder(QList<ScannedFile>& result, const QString& folder, const QStringList& patterns,
                bool recursive, const std::function<void()>& afterFolder = {},
                bool skipHidden = false, bool sizes = true, const ScanKeeping& keeping = {});
// The same, paths only.
void ScanFolder(QStringList& result, const QString& folder, const QStringList& patterns,
                bool recursive, const std::function<void()>& afterFolder = {});

// Whether a typed folder path is well formed enough to preselect it in the folder dialog.
bool IsValidFolderPath(const QString& text);

} // namespace qv

Q_DECLARE_TYPEINFO(qv::ScannedFile, Q_RELOCATABLE_TYPE);
