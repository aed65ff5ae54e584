#include "JournalRecorder.h"

#include <utility>

namespace zanfeld {

namespace {

PlacementResult ResultOf(FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::Placed:
            return PlacementResult::Placed;
        case FileOutcome::Renamed:
            return PlacementResult::Renamed;
        case FileOutcome::Overwritten:
            return PlacementResult::Overwritten;
        case FileOutcome::Skipped:
            return PlacementResult::Skipped;
        case FileOutcome::Failed:
            return PlacementResult::Failed;
    }
    return PlacementResult::None;
}

PlacementState StateOf(FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::Failed:
            return PlacementState::Failed;
        case FileOutcome::Skipped:
            return PlacementState::Skipped;
        default:
            return PlacementState::Done;
    }
}

}  // namespace

void JournalRecorder::beginRun(RunWindow window, const SortOptions& options) {
    m_begun = true;
    JournalRun run;
    run.window = window;
    run.page = static_cast<int>(options.page);
    run.mode = static_cast<int>(options.transferMode);
    run.policy = static_cast<int>(options.sameFilePolicy);
    run.outputDir = options.outputDir;
    run.undoes = m_undoes;
    run.automatic = m_automatic;
    m_run = m_journal.beginRun(run);
}

int64_t JournalRecorder::intend(const std::string& source, const std::string& target,
                                TransferMode mode) {
    if (m_run == 0) return 0;
    m_lastPlacement = m_journal.intend(m_run, source, target, static_cast<int>(mode));
    m_lastTarget = target;
    return m_lastPlacement;
}

int64_t JournalRecorder::intendStep(int64_t undoes, const std::string& source,
                                    const std::string& target, int step) {
    if (m_run == 0) return 0;
    m_lastPlacement = m_journal.intend(m_run, source, target, step, undoes);
    m_lastTarget = target;
    return m_lastPlacement;
}

void JournalRecorder::done(int64_t placement, const PlacementRecord& record) {
    if (placement == 0) return;
    PlacementOutcome outcome;
    outcome.state = StateOf(record.outcome);
    outcome.result = ResultOf(record.outcome);
    outcome.error = record.error;
    outcome.size = record.size;
    outcome.mtimeSec = record.mtimeSec;
    outcome.mtimeNsec = record.mtimeNsec;
    outcome.device = record.device;
    outcome.inode = record.inode;
    outcome.trashedPath = record.trashFile;
    outcome.trashInfoPath = record.trashInfo;
    outcome.replacedWithoutTrash = record.replacedLost;
    if (!record.target.empty() && (placement != m_lastPlacement || record.target != m_lastTarget))
        outcome.placedTarget = record.target;
    m_journal.done(placement, std::move(outcome));
}

void JournalRecorder::replacing(int64_t placement, const std::string& trashFile,
                                const std::string& trashInfo) {
    if (placement == 0) return;
    PlacementOutcome outcome;
    outcome.state = PlacementState::Intended;
    outcome.result = PlacementResult::None;
    outcome.trashedPath = trashFile;
    outcome.trashInfoPath = trashInfo;
    m_journal.doneNow(placement, outcome);
}

void JournalRecorder::madeFolder(const std::string& path) {
    if (m_run != 0) m_journal.madeFolder(m_run, path);
}

void JournalRecorder::endRun(RunEnd end, const RunCounts& counts) { endUndo(end, counts, false); }

void JournalRecorder::endUndo(RunEnd end, const RunCounts& counts, bool complete) {
    if (m_run == 0) return;
    JournalEnd how;
    switch (end) {
        case RunEnd::Finished:
            how.kind = JournalEndKind::Finished;
            break;
        case RunEnd::Stopped:
            how.kind = JournalEndKind::Stopped;
            break;
        case RunEnd::EndedEarly:
            how.kind = JournalEndKind::EndedEarly;
            break;
    }
    JournalCounts c;
    c.placed = static_cast<int64_t>(counts.placed);
    c.skipped = static_cast<int64_t>(counts.skipped);
    c.renamed = static_cast<int64_t>(counts.renamed);
    c.overwritten = static_cast<int64_t>(counts.overwritten);
    c.failed = static_cast<int64_t>(counts.failed);
    m_journal.endRun(m_run, how, c, complete ? m_undoes : 0);
}

}  // namespace zanfeld
