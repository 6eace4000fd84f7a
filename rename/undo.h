#pragma once

#include "rename/diskrename.h"
#include "rename/journal.h"

#include <QVector>

#include <functional>

namespace qv {

// What undoing one rename of the journal did.
enum class UndoOutcome : quint8
{
    Restored,
    // The file is under its old name already: the run never made this rename, or an undo
    // before took it back.
    AlreadyBack,
    // Nothing is under the new name any more: left alone.
    Gone,
    // Something took the old name since: left alone.
    Taken,
    // Another file is under the new name now (saved there after the run): left alone.
    Changed,
    Error
};

struct UndoStep
{
    JournalMove move;
    UndoOutcome outcome = UndoOutcome::Error;
    // A folder went back, and whatever lies inside it with it.
    bool folder = false;
};

struct UndoResult
{
    // In the order they were undone, the last rename first.
    QVector<UndoStep> steps;
    JournalProblem problem = JournalProblem::None;
    // Files renamed back, and files that could not be, not counting the temporary names a
    // circle passed through.
    int restored = 0;
    int refused = 0;
    // Placeholders a killed run left, removed.
    int cleared = 0;
};

// Renames the journal's renames back, the last first, never replacing anything, each only
// where the file under the new name is the one the run moved. Placeholders and temporary names
// a killed run left are cleared up. The steps that could not be taken back stay in the journal
// for another try; once none is left, the journal is removed.
UndoResult undoJournal(RenameJournal& journal, DiskRenamer& renamer,
                       const std::function<void(int restored, int refused)>& progress = {});

} // namespace qv
