#pragma once

#include <cstdint>

#include "RunJournal.h"
#include "RunRecorder.h"

namespace zanfeld {

// A run's record kept in the journal: the recorder a window hands its runs.
// One object records one run.
class JournalRecorder : public RunRecorder {
  public:
    // undoes: for an undo run, the run it puts back.
    explicit JournalRecorder(RunJournal& journal, int64_t undoes = 0)
        : m_journal(journal), m_undoes(undoes) {}

    void beginRun(RunWindow window, const SortOptions& options) override;
    int64_t intend(const std::string& source, const std::string& target,
                   TransferMode mode) override;
    void done(int64_t placement, const PlacementRecord& record) override;
    void replacing(int64_t placement, const std::string& trashFile,
                   const std::string& trashInfo) override;
    // A step of an undo run that puts back the placement undoes; step is
    // the kind of step (stored in the placement's mode).
    int64_t intendStep(int64_t undoes, const std::string& source, const std::string& target,
                       int step);
    void madeFolder(const std::string& path) override;
    void endRun(RunEnd end, const RunCounts& counts) override;
    // The end of an undo run; complete: it put back all it could, so that
    // the run it undoes is noted as undone with its end, in one commit.
    void endUndo(RunEnd end, const RunCounts& counts, bool complete);
    bool ok() const override { return m_journal.ok() && (m_run != 0 || !m_begun); }

    // The run is the watcher's, made with nobody at the window; set before beginRun.
    void setAutomatic(bool automatic) { m_automatic = automatic; }

    // The run's id in the journal, 0 before it began or when the journal is off.
    int64_t run() const { return m_run; }

  private:
    RunJournal& m_journal;
    int64_t m_undoes;
    bool m_automatic = false;
    int64_t m_run = 0;
    bool m_begun = false;
    // The target of the newest intent: a placement that took another name
    // records the one it took.
    int64_t m_lastPlacement = 0;
    std::string m_lastTarget;
};

}  // namespace zanfeld
