// The command line's rename and undo: the same core as the window's, with the options in place
// of the controls and lines of text in place of the list's status column.

#include "cli/headless.h"

#include "app/appinfo.h"
#include "app/messagetexts.h"
#include "filelist/entryadder.h"
#include "filelist/filelistmodel.h"
#include "filelist/folderscan.h"
#include "rename/diskrename.h"
#include "rename/journal.h"
#include "rename/journalingrenamer.h"
#include "rename/renamerun.h"
#include "rename/rundisk.h"
#include "rename/textutil.h"
#include "rename/undo.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace qv {

namespace {

struct Texts
{
    MessageTexts message;
    PlanTexts plan;
    bool german = true;

    QString pick(const char* de, const char* en) const
    {
        return QString::fromUtf8(german ? de : en);
    }
};

// One line of a report: where the entry was, the name it gets, and what became of it.
struct Line
{
    QString path;
    QString newName;
    QString newPath;
    // The same word in every language, for --json.
    const char* outcome;
    QString status;
};

class Report
{
public:
    Report(QTextStream& out, bool json) : m_out(out), m_json(json) {}

    void entry(const Line& line)
    {
        if (m_json) {
            write({{QStringLiteral("path"), line.path},
                   {QStringLiteral("newName"), line.newName},
                   {QStringLiteral("newPath"), line.newPath},
                   {QStringLiteral("outcome"), QLatin1String(line.outcome)},
                   {QStringLiteral("status"), line.status}});
        } else {
            m_out << line.path << '\t' << line.newName << '\t' << line.status << '\n';
        }
    }

    void summary(QJsonObject counts, const QString& text)
    {
        if (m_json) {
            counts.insert(QStringLiteral("text"), text);
            write({{QStringLiteral("summary"), counts}});
        } else {
            m_out << text << '\n';
        }
    }

private:
    void write(const QJsonObject& object)
    {
        m_out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    }

    QTextStream& m_out;
    bool m_json;
};

// The preview window's words for what a run would do.
QString planStatus(RunOutcome outcome, const Texts& t)
{
    switch (outcome) {
    case RunOutcome::Unchanged:
        return t.plan.unchanged;
    case RunOutcome::Missing:
        return t.plan.missing;
    case RunOutcome::Renamed:
        return t.plan.willRename;
    case RunOutcome::Exists:
        return t.message.txt_st_existiert;
    case RunOutcome::NotTried:
        return t.pick("Nicht versucht", "Not tried");
    case RunOutcome::Error:
        break;
    }
    return t.message.txt_st_fehler;
}

QString runStatus(RunOutcome outcome, const Texts& t)
{
    return outcome == RunOutcome::Renamed ? t.message.txt_st_umbenannt : planStatus(outcome, t);
}

const char* outcomeWord(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Unchanged:
        return "unchanged";
    case RunOutcome::Missing:
        return "missing";
    case RunOutcome::Renamed:
        return "renamed";
    case RunOutcome::Exists:
        return "exists";
    case RunOutcome::NotTried:
        return "not-tried";
    case RunOutcome::Error:
        break;
    }
    return "error";
}

// Every path must name a file or a folder whose files can be read; otherwise nothing is done.
QString pathError(const QString& given, const QString& path, const RenameOptions& options,
                  const Texts& t)
{
    const QFileInfo info(path);
    switch (pathKind(path)) {
    case PathKind::Other:
        return (info.exists() || info.isSymLink()
                    ? t.pick("weder Datei noch Ordner: ", "neither a file nor a folder: ")
                    : t.pick("Datei oder Ordner nicht gefunden: ", "no such file or folder: ")) +
               given;
    case PathKind::Folder:
        if (options.files && !(info.isReadable() && info.isExecutable()))
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
    QStringList paths;
    for (const QString& given : line.paths) {
        paths.append(absoluteCleanPath(given));
        const QString error = pathError(given, paths.last(), options, t);
        if (!error.isEmpty()) {
            err << "quorvel: " << error << Qt::endl;
            return 2;
        }
    }

    // The list is filled as a drop on the window fills it, and numbered in its sorted order.
    FileListModel list;
    list.setSortOrder(options.sortColumn, options.reverse);
    EntryAdder adder(list, {t.message.txt_st_neu, options.files, options.folders});
    bool duplicateReported = false;
    adder.setDuplicateHandler([&](const QString& path, bool folder) {
        // As in the window, the first refused duplicate is reported.
        if (!duplicateReported)
            err << "quorvel: "
                << (folder ? t.message.txt_ordner_doppelt : t.message.txt_datei_doppelt) << ' '
                << path << Qt::endl;
        duplicateReported = true;
    });
    const QStringList patterns = scanPatterns(options.filter.isEmpty(), options.filter);
    list.beginBulkUpdate();
    for (const QString& path : std::as_const(paths)) {
        if (pathKind(path) == PathKind::Folder) {
            QList<ScannedFile> found;
            ScanFolder(found, path, patterns, options.recursive);
            adder.addScanned(found);
            adder.addFolders({path});
        } else {
            adder.addFiles({path});
        }
    }
    list.endBulkUpdate();

    RenameSettings settings;
    settings.maskActive = options.maskGiven;
    settings.mask = options.mask;
    settings.numStart = options.start;
    settings.searchActive = options.searchGiven;
    settings.searchOld = options.search;
    settings.searchNew = options.replace;
    settings.searchInName = options.inName;
    settings.searchInExtension = options.inExtension;
    RenameRun run(runEntriesOf(list), settings, QDate::currentDate());
    run.setResolveChains(options.resolveChains);

    RunResult result;
    // Every rename goes into the window's journal before it is made, so that either can undo it.
    RenameJournal journal;
    if (options.dryRun) {
        result = run.plan();
    } else {
        const bool journaled = !options.noUndo && journal.begin();
        if (!options.noUndo && !journaled) {
            err << "quorvel: "
                << (journal.problem() == JournalProblem::Busy
                        ? t.message.txt_journal_besetzt
                        : t.message.txt_journal_nicht_schreibbar.arg(journal.reason()) +
                              t.pick(" (--no-undo benennt ohne Protokoll um)",
                                     " (--no-undo renames without it)"))
                << Qt::endl;
            return 2;
        }
        NoReplaceRenamer renamer;
        JournalingRenamer journaling(renamer, journal);
        LiveDisk disk(journaled ? static_cast<DiskRenamer&>(journaling) : renamer,
                      journaled ? &journal : nullptr);
        result = run.execute(disk);
        journal.end();
    }

    Report report(out, line.json);
    int unchanged = 0;
    int refused = 0;
    int notTried = 0;
    for (qsizetype i = 0; i < result.entries.size(); ++i) {
        const RunEntryResult& entry = result.entries[i];
        unchanged += entry.outcome == RunOutcome::Unchanged;
        notTried += entry.outcome == RunOutcome::NotTried;
        refused += entry.outcome != RunOutcome::Unchanged && entry.outcome != RunOutcome::Renamed &&
                   entry.outcome != RunOutcome::NotTried;
        report.entry({run.entries()[i].path, entry.newName, entry.path, outcomeWord(entry.outcome),
                      options.dryRun ? planStatus(entry.outcome, t) : runStatus(entry.outcome, t)});
    }
    const int renamed = int(result.entries.size()) - unchanged - refused - notTried;
    QString text;
    if (options.dryRun) {
        text = planSummary(renamed, unchanged, refused, t.plan) +
               t.pick(" (Probelauf, nichts geändert)", " (dry run, nothing changed)");
    } else {
        text =
            progressText(renamed, refused, t.message.txt_umbenannt, t.message.txt_nicht_umbenannt);
    }
    QJsonObject counts{{QStringLiteral("renamed"), renamed},
                       {QStringLiteral("unchanged"), unchanged},
                       {QStringLiteral("refused"), refused},
                       {QStringLiteral("dryRun"), options.dryRun}};
    if (notTried > 0)
        counts.insert(QStringLiteral("notTried"), notTried);
    report.summary(counts, text);
    if (journal.failed()) {
        err << "quorvel: " << stoppedText(t.message, journal.reason(), renamed, notTried)
            << Qt::endl;
        return 2;
    }
    return refused > 0 ? 1 : 0;
}

int runUndo(const CommandLine& line, const Texts& t, QTextStream& out, QTextStream& err)
{
    RenameJournal journal;
    NoReplaceRenamer renamer;
    const UndoResult undone = undoJournal(journal, renamer);
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

    Report report(out, line.json);
    for (const UndoStep& step : undone.steps) {
        // A step back to a name a circle only passed through is no file of its own, and a
        // rename the run never made has nothing to report.
        if (isParkingName(fileNameIn(step.move.from)) || step.outcome == UndoOutcome::AlreadyBack)
            continue;
        Line entry{step.move.to, fileName(step.move.from), step.move.from, "error",
                   t.message.txt_st_fehler};
        switch (step.outcome) {
        case UndoOutcome::Restored:
            entry.outcome = "restored";
            entry.status = t.message.txt_st_zurueck;
            break;
        case UndoOutcome::Gone:
            entry.outcome = "missing";
            entry.status = t.pick("Fehlt", "Missing");
            break;
        case UndoOutcome::Taken:
            entry.outcome = "exists";
            entry.status = t.message.txt_st_existiert;
            break;
        case UndoOutcome::Changed:
            entry.outcome = "changed";
            entry.status = t.message.txt_st_geaendert;
            break;
        case UndoOutcome::AlreadyBack:
        case UndoOutcome::Error:
            break;
        }
        report.entry(entry);
    }
    QString text = progressText(undone.restored, undone.refused, t.message.txt_zurueckbenannt,
                                t.message.txt_nicht_zurueckbenannt);
    if (undone.cleared > 0)
        text += QStringLiteral(", ") + QString::number(undone.cleared) +
                t.message.txt_platzhalter_entfernt;
    QJsonObject counts{{QStringLiteral("restored"), undone.restored},
                       {QStringLiteral("refused"), undone.refused}};
    if (undone.cleared > 0)
        counts.insert(QStringLiteral("placeholdersRemoved"), undone.cleared);
    report.summary(counts, text);
    return undone.refused > 0 ? 1 : 0;
}

} // namespace

int runCommand(const CommandLine& line, QTextStream& out, QTextStream& err)
{
    using Command = CommandLine::Command;
    switch (line.command) {
    case Command::Help:
        out << usageText();
        return 0;
    case Command::Version:
        out << "quorvel " << applicationVersion() << '\n';
        return 0;
    case Command::Usage:
        err << "quorvel: " << line.error << "\n\n" << usageText();
        return 2;
    case Command::Window:
        return 2;
    case Command::Rename:
    case Command::Undo:
        break;
    }
    // The journal lies in the data folder named after the application, as the window's does.
    QCoreApplication::setApplicationName(applicationTitle);
    Texts texts;
    const QString language =
        line.language.isEmpty() ? languageFromMarkerFiles(QDir::currentPath()) : line.language;
    texts.german = language == QLatin1String("de");
    texts.message = texts.german ? MessageTexts::german() : MessageTexts::english();
    texts.plan = texts.german ? PlanTexts::german() : PlanTexts::english();
    return line.command == Command::Rename ? runRename(line, texts, out, err)
                                           : runUndo(line, texts, out, err);
}

} // namespace qv
