#pragma once

#include <cstdint>
#include <string>

#include "ForwardingHost.h"

namespace zanfeld {

class RunBridge;
class RunJournal;

// The host an undo runs with on the worker thread: the run's bridge for
// everything, and once the undo has ended (as it unlocks the window, before
// its closing message) its counts, read from its steps in the journal.
class UndoHost : public ForwardingHost {
  public:
    // run: the run being undone.
    UndoHost(RunBridge& bridge, RunJournal& journal, int64_t run);

    void setBusy(bool busy) override;

    // Whether the undo went to work (it was not refused) and whether its
    // counts were told.
    bool began() const { return m_began; }
    bool told() const { return m_told; }

  private:
    // Reads the undo's counts from the journal and tells the window.
    void tellCounts();

    RunBridge& m_bridge;
    RunJournal& m_journal;
    int64_t m_run;
    bool m_began = false;
    bool m_told = false;
};

}  // namespace zanfeld
