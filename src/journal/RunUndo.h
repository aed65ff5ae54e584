#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "RunJournal.h"
#include "SortHost.h"

namespace zanfeld {

// What an undo of a run would do, for the question asked before it.
struct UndoPlan {
    size_t moveBack = 0;      // moved files to put back where they came from
    size_t removeCopies = 0;  // copies to take away
    size_t restore = 0;       // replaced files to bring back from the Trash
    size_t inDoubt = 0;       // placements a killed run left unsettled
    size_t lost = 0;          // replaced files that no Trash could take
};

// What an undo did.
struct UndoReport {
    size_t movedBack = 0;
    size_t renamedBack = 0;  // moved back under a numbered name: the old one was taken
    size_t copiesRemoved = 0;
    size_t copiesTrashed = 0;  // copies whose source is gone: kept in the Trash
    size_t restored = 0;
    size_t kept = 0;  // left where they are (changed since, or not there), with a reason
    size_t lost = 0;  // replaced files that no Trash could take: named, never to come back
    size_t foldersRemoved = 0;
    bool stopped = false;
};

// The plan for undoing run.
UndoPlan PlanUndo(RunJournal& journal, int64_t run);

// The question before an undo: "将撤销……是否继续？"; without ask, the same
// without "是否继续？", for telling what an undo would do.
std::string UndoQuestion(const JournalRun& run, const UndoPlan& plan, bool ask = true);

// Puts run back, newest placement first: a moved file goes back to where it
// came from (under a numbered name when that name was taken meanwhile), a copy
// goes only while it is still the file the run placed (and to the Trash
// rather than away when its source is gone, so that no undo ever deletes the
// only copy of anything), a replaced file comes back from the Trash, and the
// folders the run made go once empty. Nothing changed since the run is
// touched: such files are kept and named in the closing message. Runs
// through host like a sort: busy window, bar, progress notes, the stop
// between files, and a closing message. The undo records itself in the
// journal; once it went through, the run is marked undone.
UndoReport UndoRun(RunJournal& journal, int64_t run, SortHost& host);

}  // namespace zanfeld
