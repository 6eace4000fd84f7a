#pragma once

#include <QString>
#include <QStringList>

namespace qv {

// What a rename from the command line is asked to do, as the options give it.
struct RenameOptions
{
    QString mask;
    bool maskGiven = false;
    QString start = QStringLiteral("1");
    QString search;
    QString replace;
    bool searchGiven = false;
    bool inName = true;
    bool inExtension = false;
    bool regex = false;
    bool ignoreCase = false;
    // LetterCase of the new name: 0 keeps it, then lower, upper, first, words.
    int letterCase = 0;
    bool extensionLower = false;
    // The least digits of %0num%; 0 for those of the entry count.
    int digits = 0;
    // DateSource: 0 today, then taken, taken-or-modified, modified.
    int dateSource = 0;
    // Numbers in names sorted by their value.
    bool natural = false;
    // Endings of the files a folder contributes; empty for every file.
    QString filter;
    bool recursive = false;
    // With recursive: also names starting with ".", which are left out otherwise.
    bool hidden = false;
    // A file of further paths, one a line ("-" for standard input), or NUL-separated.
    QString filesFrom;
    bool nullSeparated = false;
    bool files = true;
    bool folders = true;
    // A column of the file list (0 name .. 4 path) and its direction.
    int sortColumn = 0;
    bool reverse = false;
    bool resolveChains = false;
    bool dryRun = false;
    // Renames without writing the undo journal: the run cannot be taken back.
    bool noUndo = false;
};

struct CommandLine
{
    enum class Command
    {
        // Start the window; paths are added as if dropped on it.
        Window,
        Help,
        Version,
        Rename,
        Undo,
        // The arguments make no sense; error says why.
        Usage
    };

    Command command = Command::Window;
    // "de", "en", or empty when the environment (LC_ALL, LC_MESSAGES, LANG) chooses.
    QString language;
    QStringList paths;
    RenameOptions rename;
    bool json = false;
    QString error;
};

// Reads the arguments after the program name. "rename" or "undo" as the first argument that is
// not an option picks that command; anything else starts the window.
CommandLine parseCommandLine(const QStringList& arguments);
// The same for main's arguments, decoded as file names are.
CommandLine parseCommandLine(int argc, char* argv[]);

// The summary of commands and options that --help prints.
QString usageText();

} // namespace qv
