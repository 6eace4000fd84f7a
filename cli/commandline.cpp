#include "cli/commandline.h"

#include "rename/placeholders.h"
#include "text/pathbytes.h"

#include <algorithm>
#include <optional>

namespace qv {

namespace {

using Command = CommandLine::Command;

// Which commands an option belongs to.
enum Scope : quint8
{
    WindowScope = 1,
    RenameScope = 2,
    UndoScope = 4,
    AllScopes = WindowScope | RenameScope | UndoScope
};

struct Option
{
    const char* name;
    bool takesValue;
    quint8 scope;
};

const Option options[] = {
    {"help", false, AllScopes},          {"version", false, AllScopes},
    {"lang", true, AllScopes},           {"json", false, RenameScope | UndoScope},
    {"mask", true, RenameScope},         {"start", true, RenameScope},
    {"search", true, RenameScope},       {"replace", true, RenameScope},
    {"in", true, RenameScope},           {"filter", true, RenameScope},
    {"recursive", false, RenameScope},   {"no-files", false, RenameScope},
    {"no-folders", false, RenameScope},  {"sort", true, RenameScope},
    {"reverse", false, RenameScope},     {"resolve-chains", false, RenameScope},
    {"dry-run", false, RenameScope},     {"no-undo", false, RenameScope},
    {"hidden", false, RenameScope},      {"files-from", true, RenameScope},
    {"null", false, RenameScope},        {"regex", false, RenameScope},
    {"ignore-case", false, RenameScope}, {"case", true, RenameScope},
    {"ext-lower", false, RenameScope},   {"digits", true, RenameScope},
    {"date-source", true, RenameScope},  {"natural", false, RenameScope},
};

const Option* findOption(QStringView name)
{
    for (const Option& option : options) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

quint8 scopeOf(Command command)
{
    switch (command) {
    case Command::Rename:
        return RenameScope;
    case Command::Undo:
        return UndoScope;
    default:
        return WindowScope;
    }
}

QString commandName(Command command)
{
    return command == Command::Rename ? QStringLiteral("rename")
           : command == Command::Undo ? QStringLiteral("undo")
                                      : QStringLiteral("the window");
}

// The index of value in choices, or nothing.
std::optional<int> choice(const QString& value, std::initializer_list<const char*> choices)
{
    int index = 0;
    for (const char* item : choices) {
        if (value == QLatin1String(item))
            return index;
        ++index;
    }
    return std::nullopt;
}

// Applies one option with its value; an error text when the value is not one it takes.
QString apply(CommandLine& line, const QString& name, const QString& value)
{
    RenameOptions& r = line.rename;
    if (name == QLatin1String("lang")) {
        if (!choice(value, {"de", "en"}))
            return QStringLiteral("--lang takes de or en");
        line.language = value;
    } else if (name == QLatin1String("json")) {
        line.json = true;
    } else if (name == QLatin1String("mask")) {
        r.mask = value;
        r.maskGiven = true;
    } else if (name == QLatin1String("start")) {
        bool ok = false;
        value.toInt(&ok);
        if (!ok || value.isEmpty() || !std::all_of(value.begin(), value.end(), [](QChar c) {
                return c >= u'0' && c <= u'9';
            }))
            return QStringLiteral("--start takes a whole number from 0");
        r.start = value;
    } else if (name == QLatin1String("search")) {
        if (value.isEmpty())
            return QStringLiteral("--search needs a text to search for");
        r.search = value;
        r.searchGiven = true;
    } else if (name == QLatin1String("replace")) {
        r.replace = value;
    } else if (name == QLatin1String("in")) {
        const std::optional<int> in = choice(value, {"name", "ext", "both"});
        if (!in)
            return QStringLiteral("--in takes name, ext or both");
        r.inName = *in != 1;
        r.inExtension = *in != 0;
    } else if (name == QLatin1String("regex")) {
        r.regex = true;
    } else if (name == QLatin1String("ignore-case")) {
        r.ignoreCase = true;
    } else if (name == QLatin1String("case")) {
        const std::optional<int> letterCase = choice(value, {"lower", "upper", "first", "words"});
        if (!letterCase)
            return QStringLiteral("--case takes lower, upper, first or words");
        r.letterCase = *letterCase + 1;
    } else if (name == QLatin1String("ext-lower")) {
        r.extensionLower = true;
    } else if (name == QLatin1String("digits")) {
        const std::optional<int> digits =
            choice(value, {"1", "2", "3", "4", "5", "6", "7", "8", "9"});
        if (!digits)
            return QStringLiteral("--digits takes a number from 1 to 9");
        r.digits = *digits + 1;
    } else if (name == QLatin1String("date-source")) {
        const std::optional<int> source =
            choice(value, {"today", "taken", "taken-or-modified", "modified"});
        if (!source)
            return QStringLiteral("--date-source takes today, taken, taken-or-modified or "
                                  "modified");
        r.dateSource = *source;
    } else if (name == QLatin1String("natural")) {
        r.natural = true;
    } else if (name == QLatin1String("filter")) {
        if (QString(value).remove(u' ').remove(u',').isEmpty())
            return QStringLiteral("--filter needs endings, such as jpg,png");
        r.filter = value;
    } else if (name == QLatin1String("sort")) {
        const std::optional<int> column = choice(value, {"name", "type", "size", "status", "path"});
        if (!column)
            return QStringLiteral("--sort takes name, type, size, status or path");
        r.sortColumn = *column;
    } else if (name == QLatin1String("recursive")) {
        r.recursive = true;
    } else if (name == QLatin1String("hidden")) {
        r.hidden = true;
    } else if (name == QLatin1String("files-from")) {
        if (value.isEmpty())
            return QStringLiteral("--files-from needs a file, or - for standard input");
        r.filesFrom = value;
    } else if (name == QLatin1String("null")) {
        r.nullSeparated = true;
    } else if (name == QLatin1String("no-files")) {
        r.files = false;
    } else if (name == QLatin1String("no-folders")) {
        r.folders = false;
    } else if (name == QLatin1String("reverse")) {
        r.reverse = true;
    } else if (name == QLatin1String("resolve-chains")) {
        r.resolveChains = true;
    } else if (name == QLatin1String("dry-run")) {
        r.dryRun = true;
    } else if (name == QLatin1String("no-undo")) {
        r.noUndo = true;
    }
    return {};
}

CommandLine usageError(CommandLine line, const QString& error)
{
    line.command = Command::Usage;
    line.error = error;
    return line;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    QStringList given;
    bool help = false;
    bool version = false;
    bool commandChosen = false;
    bool optionsEnd = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnd || argument == QLatin1String("-") || !argument.startsWith(u'-')) {
            const bool first = !commandChosen && !optionsEnd;
            if (first && argument == QLatin1String("rename"))
                line.command = Command::Rename;
            else if (first && argument == QLatin1String("undo"))
                line.command = Command::Undo;
            else
                line.paths.append(argument);
            commandChosen = true;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (argument == QLatin1String("-h")) {
            help = true;
            continue;
        }
        // -0 is the short form find and xargs use for NUL-separated names.
        const bool null = argument == QLatin1String("-0");
        const qsizetype equals = null ? -1 : argument.indexOf(u'=');
        const QString name =
            null ? QStringLiteral("null") : argument.mid(2, equals < 0 ? -1 : equals - 2);
        const Option* option =
            null || argument.startsWith(QLatin1String("--")) ? findOption(name) : nullptr;
        if (!option)
            return usageError(line, QStringLiteral("unknown option: ") + argument);
        QString value;
        if (option->takesValue) {
            if (equals >= 0)
                value = argument.mid(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return usageError(line, argument + QStringLiteral(" needs a value"));
        } else if (equals >= 0) {
            return usageError(line,
                              QStringLiteral("--") + name + QStringLiteral(" takes no value"));
        }
        help |= name == QLatin1String("help");
        version |= name == QLatin1String("version");
        const QString error = apply(line, name, value);
        if (!error.isEmpty())
            return usageError(line, error);
        given.append(name);
    }

    if (help) {
        line.command = Command::Help;
        return line;
    }
    if (version) {
        line.command = Command::Version;
        return line;
    }
    for (const QString& name : std::as_const(given)) {
        if (!(findOption(name)->scope & scopeOf(line.command)))
            return usageError(line, QStringLiteral("--") + name +
                                        QStringLiteral(" does not go with ") +
                                        commandName(line.command));
    }
    const RenameOptions& r = line.rename;
    if (line.command == Command::Rename) {
        if (line.paths.isEmpty() && r.filesFrom.isEmpty())
            return usageError(line, QStringLiteral("rename needs at least one path"));
        if (!r.maskGiven && !r.searchGiven && r.letterCase == 0 && !r.extensionLower)
            return usageError(line, QStringLiteral("rename needs --mask, --search, --case or "
                                                   "--ext-lower"));
        if (given.contains(QStringLiteral("replace")) && !r.searchGiven)
            return usageError(line, QStringLiteral("--replace goes with --search"));
        if (!r.files && !r.folders)
            return usageError(line, QStringLiteral("--no-files and --no-folders leave nothing"));
        if (r.hidden && !r.recursive)
            return usageError(line, QStringLiteral("--hidden goes with --recursive"));
        if (r.nullSeparated && r.filesFrom.isEmpty())
            return usageError(line, QStringLiteral("--null goes with --files-from"));
    }
    if (line.command == Command::Undo && !line.paths.isEmpty())
        return usageError(line, QStringLiteral("undo takes no paths"));
    return line;
}

CommandLine parseCommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(pathFromBytes(argv[i]));
    return parseCommandLine(arguments);
}

QString usageText()
{
    // Every line fits a terminal of 80 columns.
    return QStringLiteral(
               "Usage: quorvel [--lang de|en] [PATH...]\n"
               "       quorvel rename [OPTIONS] [PATH...]\n"
               "       quorvel undo [--lang de|en] [--json]\n"
               "       quorvel --help | --version\n"
               "\n"
               "Without a command the window opens, with the paths in its list as if they had\n"
               "been dropped on it.\n"
               "\n"
               "rename: renames the files and folders given (a folder with its files) without a\n"
               "window.\n"
               "  --mask M             the new name, the extension stays; placeholders:\n"
               "%1"
               "  --start N            the first running number (default 1)\n"
               "  --search S           replace the text S ...\n"
               "  --replace R          ... by R (default: remove S)\n"
               "  --in name|ext|both   search the name, the extension or both (default name)\n"
               "  --regex              S is a Perl-compatible regular expression; R names the\n"
               "                       match and its groups as \\0..\\9 or $0..$9\n"
               "  --ignore-case        search without regard to letter case\n"
               "  --case lower|upper|first|words\n"
               "                       the new name (not its extension) in lower case, upper\n"
               "                       case, first letter capital, or each word capital\n"
               "  --ext-lower          the extension in lower case\n"
               "  --digits N           the running number with zeros has at least N digits,\n"
               "                       1 to 9 (default: the digits of the entry count)\n"
               "  --date-source today|taken|taken-or-modified|modified\n"
               "                       where the date and time placeholders come from: now,\n"
               "                       the photo's date taken, the date taken or else the\n"
               "                       file's modification time, or that time (default today)\n"
               "  --natural            sort numbers in names by their value (\"2\" before \"10\")\n"
               "  --filter LIST        from folders only files with these endings, as jpg,png\n"
               "  --recursive          also the files in subfolders of the folders given; names\n"
               "                       starting with \".\" are left out\n"
               "  --hidden             with --recursive, take names starting with \".\" too\n"
               "  --files-from FILE    also the paths in FILE (- for standard input), one a line\n"
               "  -0, --null           the paths in FILE end with a NUL byte, as find -print0\n"
               "                       writes them\n"
               "  --no-files           rename no files, only folders\n"
               "  --no-folders         rename the files of the folders given, not the folders\n"
               "  --sort name|type|size|status|path\n"
               "                       the order of the list, which the numbering follows\n"
               "                       (default name)\n"
               "  --reverse            the order reversed\n"
               "  --resolve-chains     an entry whose new name another one still has waits for\n"
               "                       it; names swapped in a circle pass through a temporary\n"
               "                       name\n"
               "  --dry-run            print what would happen and change nothing\n"
               "  --no-undo            rename without writing the undo journal (the run cannot\n"
               "                       be undone); without it, a run whose journal cannot be\n"
               "                       written renames nothing\n"
               "  --json               one JSON object per entry and line, then a summary object\n"
               "Each entry is printed as it is done: the old path, the new name and the status,\n"
               "separated by tabs, and for a refused entry the reason. Control characters and\n"
               "the backslash in names are written as \\t, \\n, \\r, \\x1b, \\\\ and so on.\n"
               "An entry whose name needs a value its file lacks (a date taken, a tag) is not\n"
               "renamed; its status says which value is missing.\n"
               "undo: renames back what the last run renamed (in the window or here): each file\n"
               "  that is still the one the run renamed, also after the run was killed or\n"
               "  stopped. Files changed or taken since are left alone and reported; what could\n"
               "  not be renamed back is kept for another undo.\n"
               "  --lang de|en         the language of placeholders and output (default: LC_ALL,\n"
               "                       LC_MESSAGES or LANG, German if it starts with de)\n"
               "\n"
               "Exit status: 0 when every entry was renamed or left unchanged, 1 when any was\n"
               "refused or missing or the output could not be written, 2 on a usage error, a\n"
               "path that cannot be used, an undo journal that cannot be written, or while\n"
               "another rename or undo is running.\n")
        .arg(placeholderHelp(Language::English, 23, 35));
}

} // namespace qv
