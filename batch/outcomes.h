#pragma once

#include "rename/renamerun.h"
#include "rename/undo.h"
#include "text/messagetexts.h"

namespace qv {

// What became of the entries of one run or plan, counted once for every face of the program.
// An entry whose file was gone when its turn came is skipped: nobody refused it, so it is not
// counted with the refusals; where a face shows counts, it is counted on its own.
struct Tally
{
    int renamed = 0;
    int unchanged = 0;
    int taken = 0;
    int failed = 0;
    int missing = 0;
    // Entries a stopped run did not come to.
    int notTried = 0;

    void count(RunOutcome outcome);
    static Tally of(const RunResult& result);
    // Refused by a name that is taken or by the system.
    int refused() const { return taken + failed; }
};

// The status of an entry in the list and on the command line, for a run or for a plan.
QString outcomeStatus(RunOutcome outcome, bool planned, const Texts& texts);
// As above, naming the value a NoValue entry lacks.
QString outcomeStatus(const RunEntryResult& entry, bool planned, const Texts& texts);
// "Aufnahmedatum fehlt"/"No date taken" and its kin: the value of the placeholder a file lacks.
QString missingValueText(PlaceholderValue value, const Texts& texts);
// The same word in every language, for --json.
const char* outcomeWord(RunOutcome outcome);
// Why an entry was refused: the rule it broke, or the system's message; empty for the others.
QString refusalReason(const RunEntryResult& entry, const Texts& texts);

// "3 files renamed (2 files could not be renamed)", as the window's label and the command line
// say it after a run.
QString runSummary(const Tally& tally, const Texts& texts);
// "3 will be renamed, 1 unchanged, 2 conflicts", as the preview and a dry run say it, and
// ", 1 missing" when any file is gone.
QString planSummary(const Tally& tally, const Texts& texts);
// "3 files restored (1 files could not be restored), 2 placeholders removed".
QString undoSummary(const UndoResult& undone, const Texts& texts);
QString undoStatus(UndoOutcome outcome, const Texts& texts);
const char* undoWord(UndoOutcome outcome);

// The command line's exit status: 0 when every entry was renamed or unchanged, else 1.
int exitStatus(const Tally& tally);

} // namespace qv
