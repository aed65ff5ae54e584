#include "UndoHost.h"

#include "RunBridge.h"
#include "RunJournal.h"
#include "UndoRunCounts.h"

namespace zanfeld {

UndoHost::UndoHost(RunBridge& bridge, RunJournal& journal, int64_t run)
    : m_bridge(bridge), m_journal(journal), m_run(run) {}

void UndoHost::showInfo(const std::string& text) { m_bridge.showInfo(text); }

void UndoHost::showWarning(const std::string& text) { m_bridge.showWarning(text); }

void UndoHost::rejectOption(const std::string& text, OptionId option) {
    m_bridge.rejectOption(text, option);
}

void UndoHost::setOutputDir(const std::string& text) { m_bridge.setOutputDir(text); }

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

void UndoHost::setProgress(int percent) { m_bridge.setProgress(percent); }

void UndoHost::refreshLiveOptions(SortOptions& options) { m_bridge.refreshLiveOptions(options); }

bool UndoHost::askOverwrite(const std::string& targetPath) {
    return m_bridge.askOverwrite(targetPath);
}

bool UndoHost::askReplace(const std::string& targetPath, const std::string& sourcePath) {
    return m_bridge.askReplace(targetPath, sourcePath);
}

bool UndoHost::stopRequested() { return m_bridge.stopRequested(); }

void UndoHost::noteProgress(const RunProgress& progress) { m_bridge.noteProgress(progress); }

void UndoHost::noteCounts(const RunCounts& counts) { m_bridge.noteCounts(counts); }

void UndoHost::noteFailure(const std::string& path, const std::string& reason) {
    m_bridge.noteFailure(path, reason);
}

RunRecorder* UndoHost::recorder() { return m_bridge.recorder(); }

bool UndoHost::keepReplacedFiles() { return m_bridge.keepReplacedFiles(); }

RunPlanner* UndoHost::planner() { return m_bridge.planner(); }

}  // namespace zanfeld
