#pragma once

#include "JournalRecords.h"
#include "RunNotes.h"

namespace zanfeld {

class RunJournal;

// What an undo run did, read from its steps in the journal: the files it
// moved back, the copies it took away, the files it brought back from the
// Trash, and those it left as they were.
UndoCounts UndoRunCounts(RunJournal& journal, const JournalRun& undo);

}  // namespace zanfeld
