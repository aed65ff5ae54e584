#pragma once

#include <optional>

#include "JournalRecorder.h"
#include "RecordingHost.h"
#include "RunJournal.h"

namespace zanfeld::test {

// A window's host as far as the engine sees it: each run recorded in the
// journal, replaced files kept in the Trash; stops once stopAfter files
// were noted.
class JournalHost : public RecordingHost {
  public:
    explicit JournalHost(RunJournal& journal) : m_journal(journal) {}
    RunRecorder* recorder() override {
        m_recorder.emplace(m_journal);
        return &*m_recorder;
    }
    bool keepReplacedFiles() override { return true; }
    bool stopRequested() override { return stopAfter >= 0 && progressNotes >= stopAfter; }
    void noteProgress(const RunProgress&) override { ++progressNotes; }

    int stopAfter = -1;
    int progressNotes = 0;

  private:
    RunJournal& m_journal;
    std::optional<JournalRecorder> m_recorder;
};

}  // namespace zanfeld::test
