#include "UndoRunCounts.h"

#include "RunJournal.h"
#include "UndoStep.h"

namespace zanfeld {

UndoCounts UndoRunCounts(RunJournal& journal, const JournalRun& undo) {
    UndoCounts counts;
    for (const JournalPlacement& step : journal.placements(undo.id)) {
        if (step.outcome.state != PlacementState::Done) continue;
        switch (static_cast<UndoStep>(step.mode)) {
            case UndoStep::RemoveCopy:
                ++counts.removed;
                break;
            case UndoStep::MoveBack:
                ++counts.movedBack;
                break;
            case UndoStep::Restore:
                ++counts.restored;
                break;
        }
    }
    // What stayed includes files no step was tried for (changed since the
    // run, or gone): the run's own count of them.
    if (undo.counts.failed > 0) counts.notUndone = static_cast<size_t>(undo.counts.failed);
    return counts;
}

}  // namespace zanfeld
