#include "UndoHost.h"

#include "RunBridge.h"
#include "RunJournal.h"
#include "UndoRunCounts.h"

namespace zanfeld {

UndoHost::UndoHost(RunBridge& bridge, RunJournal& journal, int64_t run)
    : ForwardingHost(bridge), m_bridge(bridge), m_journal(journal), m_run(run) {}

void UndoHost::setBusy(bool busy) {
    // An undo unlocks the window once its record is complete, just before
    // its closing message.
    if (busy) m_began = true;
    if (!busy && m_began && !m_told) tellCounts();
    m_bridge.setBusy(busy);
}

void UndoHost::tellCounts() {
    // The newest undo of the run is this one.
    for (const JournalRun& run : m_journal.runs(0)) {
        if (run.undoes != m_run) continue;
        const bool stopped = run.end && run.end->kind == JournalEndKind::Stopped;
        m_bridge.noteUndoCounts(UndoRunCounts(m_journal, run), stopped);
        m_told = true;
        return;
    }
}

}  // namespace zanfeld
