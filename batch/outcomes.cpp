#include "batch/outcomes.h"

#include "rename/diskrename.h"

#include <cerrno>
#include <cstring>

namespace qv {

void Tally::count(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Renamed:
        ++renamed;
        break;
    case RunOutcome::Unchanged:
        ++unchanged;
        break;
    case RunOutcome::Exists:
        ++taken;
        break;
    case RunOutcome::Error:
    case RunOutcome::NoValue:
    case RunOutcome::InvalidExpression:
        ++failed;
        break;
    case RunOutcome::Missing:
        ++missing;
        break;
    case RunOutcome::NotTried:
        ++notTried;
        break;
    }
}

Tally Tally::of(const RunResult& result)
{
    Tally tally;
    for (const RunEntryResult& entry : result.entries)
        tally.count(entry.outcome);
    return tally;
}

QString outcomeStatus(RunOutcome outcome, bool planned, const Texts& texts)
{
    switch (outcome) {
    case RunOutcome::Unchanged:
        return texts.plan.unchanged;
    case RunOutcome::Missing:
        return texts.plan.missing;
    case RunOutcome::Renamed:
        return planned ? texts.plan.willRename : texts.message.txt_st_umbenannt;
    case RunOutcome::Exists:
        return texts.message.txt_st_existiert;
    case RunOutcome::NotTried:
        return texts.pick("Nicht versucht", "Not tried");
    case RunOutcome::NoValue:
        return missingValueText(PlaceholderValue::Name, texts);
    case RunOutcome::InvalidExpression:
        return texts.pick("Ungültiger Ausdruck", "Invalid expression");
    case RunOutcome::Error:
        break;
    }
    return texts.message.txt_st_fehler;
}

QString outcomeStatus(const RunEntryResult& entry, bool planned, const Texts& texts)
{
    if (entry.outcome == RunOutcome::NoValue)
        return missingValueText(entry.missingValue, texts);
    return outcomeStatus(entry.outcome, planned, texts);
}

QString missingValueText(PlaceholderValue value, const Texts& texts)
{
    // Of a date only the date taken can be missing: a file that can be looked at has a time.
    if (isMoment(value))
        return texts.pick("Aufnahmedatum fehlt", "No date taken");
    switch (value) {
    case PlaceholderValue::Artist:
        return texts.pick("Interpret fehlt", "No artist");
    case PlaceholderValue::Album:
        return texts.pick("Album fehlt", "No album");
    case PlaceholderValue::Title:
        return texts.pick("Titel fehlt", "No title");
    case PlaceholderValue::Track:
        return texts.pick("Titelnummer fehlt", "No track number");
    case PlaceholderValue::TagYear:
        return texts.pick("Erscheinungsjahr fehlt", "No year");
    case PlaceholderValue::Camera:
        return texts.pick("Kameramodell fehlt", "No camera model");
    default:
        break;
    }
    return texts.pick("Datei nicht lesbar", "File not readable");
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
    case RunOutcome::NoValue:
        return "no-value";
    case RunOutcome::InvalidExpression:
        return "invalid-expression";
    case RunOutcome::Error:
        break;
    }
    return "error";
}

QString refusalReason(const RunEntryResult& entry, const Texts& texts)
{
    switch (entry.outcome) {
    case RunOutcome::Unchanged:
    case RunOutcome::Renamed:
    case RunOutcome::NotTried:
        return {};
    // The status says it all; the expression's fault is told once for the run.
    case RunOutcome::NoValue:
    case RunOutcome::InvalidExpression:
        return {};
    case RunOutcome::Missing:
        return QString::fromLocal8Bit(std::strerror(ENOENT));
    case RunOutcome::Exists:
        return texts.pick("Name vergeben", "name taken");
    case RunOutcome::Error:
        break;
    }
    if (!isAcceptableNewName(entry.newName))
        return texts.pick("unsicherer Name", "unsafe name");
    // A folder of the new name: the name is taken as by a file.
    if (entry.error == EEXIST || entry.error == ENOTEMPTY)
        return texts.pick("Name vergeben", "name taken");
    if (entry.error != 0)
        return QString::fromLocal8Bit(std::strerror(entry.error));
    return texts.pick("nicht umbenannt", "not renamed");
}

QString runSummary(const Tally& tally, const Texts& texts)
{
    return progressText(tally.renamed, tally.refused(), texts.message.txt_umbenannt,
                        texts.message.txt_nicht_umbenannt);
}

QString planSummary(const Tally& tally, const Texts& texts)
{
    QString text =
        planSummary(tally.renamed, tally.unchanged, tally.refused() + tally.notTried, texts.plan);
    if (tally.missing > 0)
        text += QStringLiteral(", ") + QString::number(tally.missing) + u' ' +
                (tally.missing == 1 ? texts.plan.oneMissing : texts.plan.manyMissing);
    return text;
}

QString undoSummary(const UndoResult& undone, const Texts& texts)
{
    QString text = progressText(undone.restored, undone.refused, texts.message.txt_zurueckbenannt,
                                texts.message.txt_nicht_zurueckbenannt);
    if (undone.cleared > 0)
        text += QStringLiteral(", ") + QString::number(undone.cleared) +
                texts.message.txt_platzhalter_entfernt;
    return text;
}

QString undoStatus(UndoOutcome outcome, const Texts& texts)
{
    switch (outcome) {
    case UndoOutcome::Restored:
    case UndoOutcome::AlreadyBack:
        return texts.message.txt_st_zurueck;
    case UndoOutcome::Gone:
        return texts.plan.missing;
    case UndoOutcome::Taken:
        return texts.message.txt_st_existiert;
    case UndoOutcome::Changed:
        return texts.message.txt_st_geaendert;
    case UndoOutcome::Error:
        break;
    }
    return texts.message.txt_st_fehler;
}

const char* undoWord(UndoOutcome outcome)
{
    switch (outcome) {
    case UndoOutcome::Restored:
    case UndoOutcome::AlreadyBack:
        return "restored";
    case UndoOutcome::Gone:
        return "missing";
    case UndoOutcome::Taken:
        return "exists";
    case UndoOutcome::Changed:
        return "changed";
    case UndoOutcome::Error:
        break;
    }
    return "error";
}

int exitStatus(const Tally& tally)
{
    return tally.refused() + tally.missing + tally.notTried > 0 ? 1 : 0;
}

} // namespace qv
