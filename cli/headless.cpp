// The command line's rename and undo: the same core as the window's, with the options in place
// of the controls and lines of text in place of the list's status column.

#include "cli/headless.h"

#include "batch/renamebatch.h"
#include "filelist/folderscan.h"
#include "rename/diskrename.h"
#include "text/appinfo.h"
#include "text/messagetexts.h"
#include "text/pathbytes.h"
#include "text/textutil.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

// One line of a report: where the entry was, the name it gets, and what became of it.
struct Line
{
    QString path;
    QString newName;
    // Empty where the report is not JSON.
    QString newPath;
    // The same word in every language, for --json.
    const char* outcome;
    QString status;
    // Why a refused entry was refused; empty for every other.
    QString reason = {};
};

// A name as one line of text that does nothing to a terminal: tabs, line breaks and the other
// control characters are written as escapes, and so is the backslash that starts them.
QString escaped(const QString& text)
{
    const auto plain = [](QChar c) {
        return c >= u' ' && c != u'\\' && c != QChar(0x7f) &&
               !(c >= QChar(0x80) && c <= QChar(0x9f)) && !c.isSurrogate();
    };
    if (std::all_of(text.begin(), text.end(), plain))
        return text;
    QString result;
    result.reserve(text.size() + 8);
    const auto hex = [&result](uint byte) {
        result += QStringLiteral("\\x%1").arg(byte, 2, 16, QChar(u'0'));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (plain(c)) {
            result += c;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            result += c;
            result += text[++i];
        } else if (c.isSurrogate()) {
            // A byte of the name that is not UTF-8: written as itself, so the line names the file.
            const QByteArray bytes = pathBytes(QStringView(text).sliced(i, 1));
            if (bytes.size() == 1)
                hex(uchar(bytes[0]));
            else
                result += QChar(QChar::ReplacementCharacter);
        } else if (c == u'\\') {
            result += QLatin1String("\\\\");
        } else if (c == u'\t') {
            result += QLatin1String("\\t");
        } else if (c == u'\n') {
            result += QLatin1String("\\n");
        } else if (c == u'\r') {
            result += QLatin1String("\\r");
        } else if (c.unicode() <= 0xff) {
            hex(c.unicode());
        } else {
            result += c;
        }
    }
    return result;
}

class Report
{
public:
    Report(QTextStream& out, bool json) : m_out(out), m_json(json), m_pace(paceOf(out)) {}
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;
    ~Report() { endEntries(); }

    // Each entry goes out as soon as someone could read it, so that a run interrupted or piped
    // into head has shown what it did so far: at once on a terminal, and into a pipe the first
    // at once and then every few entries or milliseconds. A file or /dev/null takes it all in
    // large writes: a write per entry cost a run of many files more than its renames. There,
    // nobody reads before the end, and a thread of its own writes the lines while the run's
    // thread renames.
    void entry(const Line& line)
    {
        if (m_pace != Pace::Whole) {
            put(line);
            return;
        }
        m_batch.push_back(line);
        if (m_batch.size() >= handOverLines)
            handOver();
    }

    // Every entry is in: returns once their lines are written. A line may refer to the text of
    // a run's names, which lives as long as the run's result: this comes before the result goes.
    void endEntries()
    {
        if (!m_writer.joinable()) {
            for (const Line& line : m_batch)
                put(line);
            m_batch.clear();
            return;
        }
        handOver();
        {
            const std::lock_guard lock(m_mutex);
            m_closing = true;
        }
        m_wake.notify_one();
        m_writer.join();
    }

    void summary(QJsonObject counts, const QString& text)
    {
        endEntries();
        if (m_json) {
            counts.insert(QStringLiteral("text"), text);
            write({{QStringLiteral("summary"), counts}});
        } else {
            m_out << text << '\n';
        }
    }

private:
    static constexpr size_t handOverLines = 512;

    void handOver()
    {
        if (!m_writer.joinable())
            m_writer = std::thread([this] { writeHandedLines(); });
        {
            // A dry run hands lines over faster than they are written: they wait here, not in
            // memory.
            std::unique_lock lock(m_mutex);
            m_room.wait(lock, [this] { return m_handed.size() < handOverLines * 4; });
            m_handed.insert(m_handed.end(), std::make_move_iterator(m_batch.begin()),
                            std::make_move_iterator(m_batch.end()));
        }
        m_batch.clear();
        m_wake.notify_one();
    }

    void writeHandedLines()
    {
        std::vector<Line> lines;
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return !m_handed.empty() || m_closing; });
                if (m_handed.empty())
                    return;
                lines.swap(m_handed);
            }
            m_room.notify_one();
            for (const Line& line : lines)
                put(line);
            lines.clear();
        }
    }

    void put(const Line& line)
    {
        if (m_json) {
            // JSON text is Unicode: a byte that is not UTF-8 shows as U+FFFD there.
            QJsonObject object{{QStringLiteral("path"), shownText(line.path)},
                               {QStringLiteral("newName"), shownText(line.newName)},
                               {QStringLiteral("newPath"), shownText(line.newPath)},
                               {QStringLiteral("outcome"), QLatin1String(line.outcome)},
                               {QStringLiteral("status"), line.status}};
            if (!line.reason.isEmpty())
                object.insert(QStringLiteral("reason"), line.reason);
            write(object);
        } else {
            // The line goes into the stream in one piece: the stream checks each piece it is
            // given, and a run of many files prints a line per file.
            m_line.resize(0);
            m_line += escaped(line.path);
            m_line += u'\t';
            m_line += escaped(line.newName);
            m_line += u'\t';
            m_line += line.status;
            if (!line.reason.isEmpty()) {
                m_line += u'\t';
                m_line += escaped(line.reason);
            }
            m_line += u'\n';
            m_out << m_line;
        }
        written();
    }

    enum class Pace
    {
        // A terminal, or a stream that is no file: every entry.
        Each,
        // A pipe or socket: someone may read along.
        Paced,
        // A regular file or a device such as /dev/null: nobody reads before the end.
        Whole
    };

    static Pace paceOf(const QTextStream& out)
    {
        const auto* file = qobject_cast<const QFile*>(out.device());
        const int fd = file ? file->handle() : -1;
        struct stat st;
        if (fd < 0 || ::fstat(fd, &st) != 0 || ::isatty(fd))
            return Pace::Each;
        return S_ISREG(st.st_mode) || S_ISCHR(st.st_mode) ? Pace::Whole : Pace::Paced;
    }

    void written()
    {
        if (m_pace == Pace::Whole)
            return;
        ++m_pending;
        if (m_pace == Pace::Paced && m_flushed > 0 && m_pending < pacedEntries &&
            !m_sinceFlush.hasExpired(pacedMs))
            return;
        m_out.flush();
        m_sinceFlush.start();
        m_pending = 0;
        ++m_flushed;
    }

    void write(const QJsonObject& object)
    {
        m_out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    }

    // A pipe hears at least this often; a reader that left (head) stops the run at the next.
    static constexpr int pacedEntries = 64;
    static constexpr qint64 pacedMs = 20;

    QTextStream& m_out;
    bool m_json;
    Pace m_pace;
    QElapsedTimer m_sinceFlush;
    int m_pending = 0;
    qint64 m_flushed = 0;
    // The line being written, its room kept from line to line.
    QString m_line;
    // Lines for the writer: gathered here, then handed over in blocks.
    std::vector<Line> m_batch;
    std::vector<Line> m_handed;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_room;
    bool m_closing = false;
    std::thread m_writer;
};

// The paths --files-from names: one a line, or each ended by a NUL byte. Empty ones are left
// out (the last line may or may not end). False when the file cannot be read.
bool readPathList(const QString& name, bool nullSeparated, QStringList& paths)
{
    QFile file;
    const bool opened = name == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened)
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    const char separator = nullSeparated ? '\0' : '\n';
    qsizetype begin = 0;
    while (begin < data.size()) {
        qsizetype end = data.indexOf(separator, begin);
        if (end < 0)
            end = data.size();
        if (end > begin)
            paths.append(pathFromBytes(QByteArrayView(data).sliced(begin, end - begin)));
        begin = end + 1;
    }
    return true;
}

// Every path must name a file or a folder whose files can be read; otherwise nothing is done.
QString pathError(const QString& given, const QString& path, const RenameOptions& options,
                  const Texts& t)
{
    switch (pathKind(path)) {
    case PathKind::Missing:
    case PathKind::Unknown:
    case PathKind::Other:
        return (pathExists(path)
                    ? t.pick("weder Datei noch Ordner: ", "neither a file nor a folder: ")
                    : t.pick("Datei oder Ordner nicht gefunden: ", "no such file or folder: ")) +
               given;
    case PathKind::Folder:
        if (options.files && !isReadableFolder(path))
            return t.pick("Ordner nicht lesbar: ", "cannot read the folder: ") + given;
        break;
    case PathKind::File:
        break;
    }
    return {};
}

int runRename(const CommandLine& line, const Texts& t, QTextStream& out, QTextStream& err)
{
    const RenameOptions& options = line.rename;
    QStringList given = line.paths;
    if (!options.filesFrom.isEmpty() &&
        !readPathList(options.filesFrom, options.nullSeparated, given)) {
        err << "quorvel: " << t.pick("Pfadliste nicht lesbar: ", "cannot read the path list: ")
            << escaped(options.filesFrom) << Qt::endl;
        return 2;
    }
    QStringList paths;
    paths.reserve(given.size());
    for (const QString& path : std::as_const(given)) {
        paths.append(absoluteCleanPath(path));
        const QString error = pathError(escaped(path), paths.last(), options, t);
        if (!error.isEmpty()) {
            err << "quorvel: " << error << Qt::endl;
            return 2;
        }
    }

    // The list is filled as a drop on the window fills it, and numbered in its sorted order.
    RenameBatch batch;
    batch.setTexts(t);
    // The batch outlives everything this run prints: its paths may lie in blocks.
    batch.keepScannedPathsInBlocks();
    if (!options.dryRun)
        batch.keepScanListings();
    batch.list().setSortOrder(options.sortColumn, options.reverse);
    batch.list().setNumbersByValue(options.natural);
    AddOptions adding;
    adding.files = options.files;
    adding.folders = options.folders;
    adding.patterns = scanPatterns(options.filter.isEmpty(), options.filter);
    adding.recursive = options.recursive;
    // A hidden path named itself is taken; a recursive scan leaves such names out unless asked,
    // so that a run over a project does not enter .git.
    adding.skipHidden = options.recursive && !options.hidden;
    // Nothing on the command line shows a size: a scan reads one only to sort by it.
    adding.sizes = options.sortColumn == ColSize;
    bool duplicateReported = false;
    AddHooks hooks;
    hooks.duplicate = [&](const QString& path, bool folder) {
        // As in the window, the first refused duplicate is reported.
        if (!duplicateReported)
            err << "quorvel: "
                << (folder ? t.message.txt_ordner_doppelt : t.message.txt_datei_doppelt) << ' '
                << escaped(path) << Qt::endl;
        duplicateReported = true;
    };
    batch.addPaths(paths, adding, hooks);

    RunRequest request;
    request.settings.maskActive = options.maskGiven;
    request.settings.mask = options.mask;
    request.settings.numStart = options.start;
    request.settings.searchActive = options.searchGiven;
    request.settings.searchOld = options.search;
    request.settings.searchNew = options.replace;
    request.settings.searchInName = options.inName;
    request.settings.searchInExtension = options.inExtension;
    request.settings.searchRegex = options.regex;
    request.settings.matchCase = !options.ignoreCase;
    request.settings.letterCase = LetterCase(options.letterCase);
    request.settings.extensionLower = options.extensionLower;
    request.settings.digits = options.digits;
    request.settings.dateSource = DateSource(options.dateSource);
    request.resolveChains = options.resolveChains;
    // Every entry says the expression is not one; the engine's words why are said once.
    const QString expressionFault = expressionError(request.settings);
    if (!expressionFault.isEmpty())
        err << "quorvel: " << t.pick("ungültiger Ausdruck", "invalid expression") << ": "
            << expressionFault << Qt::endl;

    Report report(out, line.json);
    const auto lineOf = [&](const QString& before, const RunEntryResult& entry) {
        return Line{before, entry.newName,
                    // Only JSON names the new path.
                    line.json ? pathAfter(before, entry) : QString(), outcomeWord(entry.outcome),
                    outcomeStatus(entry, options.dryRun, t), refusalReason(entry, t)};
    };

    Tally tally;
    QString stoppedBecause;
    if (options.dryRun) {
        // A dry run changes nothing and prints the list in its order.
        RenameRun run = batch.runOf(request);
        run.setKeepPaths(false);
        // The run holds every entry; the list is not shown again.
        batch.list().clear();
        const RunResult result = run.plan();
        for (qsizetype row = 0; row < result.entries.size(); ++row)
            report.entry(lineOf(run.entries()[row].path, result.entries[row]));
        report.endEntries();
        tally = Tally::of(result);
    } else {
        // Every rename goes into the window's journal before it is made, so that either can
        // undo it.
        if (!options.noUndo && !batch.openJournal()) {
            err << "quorvel: "
                << (batch.journalProblem() == JournalProblem::Busy
                        ? t.message.txt_journal_besetzt
                        : t.message.txt_journal_nicht_schreibbar.arg(batch.journalReason()) +
                              t.pick(" (--no-undo benennt ohne Protokoll um)",
                                     " (--no-undo renames without it)"))
                << Qt::endl;
            return 2;
        }
        // A real run prints each entry as it is done, the others once it ends.
        const qsizetype count = batch.list().count();
        std::vector<bool> reported(size_t(count), false);
        // JSON names where each entry ends up: an entry inside a listed folder still to be
        // renamed would be named where it is now, so its line waits for the end.
        QSet<QString> waitingFolders;
        if (line.json) {
            for (int row = 0; row < count; ++row) {
                if (batch.list().isFolder(row))
                    waitingFolders.insert(batch.list().path(row));
            }
        }
        const auto insideWaitingFolder = [&waitingFolders](const QString& path) {
            if (waitingFolders.isEmpty())
                return false;
            for (QString folder = folderPart(path); folder.size() > 1;
                 folder = folderPart(folder)) {
                folder.chop(1);
                if (waitingFolders.contains(folder))
                    return true;
            }
            return false;
        };
        RunHooks runHooks;
        // The report is printed from the outcomes; the list is not shown again.
        runHooks.writeRows = false;
        runHooks.entryDone = [&](int row, const QString& before, const RunEntryResult& entry) {
            waitingFolders.remove(before);
            if (insideWaitingFolder(before))
                return;
            report.entry(lineOf(before, entry));
            reported[size_t(row)] = true;
        };
        NoReplaceRenamer renamer;
        const BatchRunReport done = batch.run(request, renamer, runHooks);
        for (qsizetype row = 0; row < done.result.entries.size(); ++row) {
            if (!reported[size_t(row)])
                report.entry(lineOf(done.entries[row].path, done.result.entries[row]));
        }
        report.endEntries();
        tally = done.tally;
        stoppedBecause = done.stoppedBecause;
    }

    const QString text = options.dryRun
                             ? planSummary(tally, t) + t.pick(" (Probelauf, nichts geändert)",
                                                              " (dry run, nothing changed)")
                             : runSummary(tally, t);
    QJsonObject counts{{QStringLiteral("renamed"), tally.renamed},
                       {QStringLiteral("unchanged"), tally.unchanged},
                       {QStringLiteral("refused"), tally.refused()},
                       {QStringLiteral("dryRun"), options.dryRun}};
    if (tally.missing > 0)
        counts.insert(QStringLiteral("missing"), tally.missing);
    if (tally.notTried > 0)
        counts.insert(QStringLiteral("notTried"), tally.notTried);
    report.summary(counts, text);
    if (!stoppedBecause.isEmpty()) {
        err << "quorvel: " << stoppedText(t.message, stoppedBecause, tally.renamed, tally.notTried)
            << Qt::endl;
        return 2;
    }
    return exitStatus(tally);
}

int runUndo(const CommandLine& line, const Texts& t, QTextStream& out, QTextStream& err)
{
    RenameBatch batch;
    batch.setTexts(t);
    NoReplaceRenamer renamer;
    const BatchUndoReport report = batch.undo(renamer);
    const UndoResult& undone = report.undone;
    if (undone.problem != JournalProblem::None) {
        err << "quorvel: "
            << (undone.problem == JournalProblem::Busy ? t.message.txt_journal_besetzt
                                                       : t.message.txt_journal_defekt)
            << Qt::endl;
        return 2;
    }
    if (undone.steps.isEmpty()) {
        err << "quorvel: " << t.pick("keine Umbenennung rückgängig zu machen", "no rename to undo")
            << '\n';
        return 1;
    }
    Report printed(out, line.json);
    for (const UndoLine& undoLine : report.lines)
        printed.entry({undoLine.path, fileName(undoLine.oldPath), undoLine.oldPath,
                       undoWord(undoLine.outcome), undoStatus(undoLine.outcome, t)});
    QJsonObject counts{{QStringLiteral("restored"), undone.restored},
                       {QStringLiteral("refused"), undone.refused}};
    if (undone.cleared > 0)
        counts.insert(QStringLiteral("placeholdersRemoved"), undone.cleared);
    printed.summary(counts, undoSummary(undone, t));
    return undone.refused > 0 ? 1 : 0;
}

// The language of the locale, as other programs on the command line read it: the first of
// LC_ALL, LC_MESSAGES and LANG that is set. A script's output must not depend on files that
// happen to lie in the folder it runs in.
Language languageByEnvironment()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value.startsWith("de") ? Language::German : Language::English;
    }
    return Language::English;
}

int runLine(const CommandLine& line, const Texts& texts, QTextStream& out, QTextStream& err)
{
    using Command = CommandLine::Command;
    switch (line.command) {
    case Command::Help:
        out << usageText();
        return 0;
    case Command::Version:
        out << "quorvel " << applicationVersion() << '\n'
            << "Copyright (C) 2026 Velmora\n"
            << texts.pick("Lizenz: proprietär, siehe https://www.velmora.com/licence\n",
                          "Licence: proprietary, see https://www.velmora.com/licence\n");
        return 0;
    case Command::Usage:
        // One line, as other tools say it: the whole usage text would hide the message.
        err << "quorvel: " << line.error << '\n' << "Try 'quorvel --help' for more information.\n";
        return 2;
    case Command::Window:
        return 2;
    case Command::Rename:
    case Command::Undo:
        break;
    }
    // The journal lies in the data folder named after the application, as the window's does.
    QCoreApplication::setApplicationName(applicationTitle);
    return line.command == Command::Rename ? runRename(line, texts, out, err)
                                           : runUndo(line, texts, out, err);
}

} // namespace

int runCommand(const CommandLine& line, QTextStream& out, QTextStream& err)
{
    const Texts texts = Texts::of(line.language.isEmpty() ? languageByEnvironment()
                                                          : languageOfCode(line.language));
    const int code = runLine(line, texts, out, err);
    // Output that did not arrive is a failure, as with any tool: a report nobody can read
    // cannot tell the script what happened.
    out.flush();
    errno = 0;
    const bool failed =
        out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    if (!failed)
        return code;
    const int error = errno;
    err << "quorvel: " << texts.pick("Ausgabe nicht schreibbar", "cannot write the output");
    if (error != 0)
        err << " (" << QString::fromLocal8Bit(std::strerror(error)) << ')';
    err << Qt::endl;
    return code == 0 ? 1 : code;
}

} // namespace qv
