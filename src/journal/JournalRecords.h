#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "RunRecorder.h"

namespace zanfeld {

// How a run ended. A run that has no end was killed (or is still going).
// The numbers are stored in journals: never renumber.
enum class JournalEndKind { Finished = 0, Stopped = 1, EndedEarly = 2 };

struct JournalEnd {
    JournalEndKind kind = JournalEndKind::Finished;
    std::string reason;  // why a run ended early; empty otherwise
};

// A run's files by outcome, as its completion message counts them.
struct JournalCounts {
    int64_t placed = 0;
    int64_t skipped = 0;
    int64_t renamed = 0;
    int64_t overwritten = 0;
    int64_t failed = 0;
};

// One sort run (or undo run) of either window.
struct JournalRun {
    int64_t id = 0;  // given by beginRun
    RunWindow window = RunWindow::Files;
    int page = 0;
    int mode = 0;
    int policy = 0;
    std::string outputDir;  // native path bytes
    int64_t startedNs = 0;  // nanoseconds since the epoch; beginRun fills in now when 0
    int64_t endedNs = 0;    // 0 while there is no end
    std::optional<JournalEnd> end;
    JournalCounts counts;
    int64_t undoneBy = 0;  // the undo run that put this run back, 0 if none
    int64_t undoes = 0;    // for an undo run: the run it undid, 0 otherwise
    bool automatic = false;  // made by the watcher, not by a person
};

// Where one placement stands. Stored numbers: never renumber.
enum class PlacementState { Intended = 0, Done = 1, Failed = 2, Skipped = 3 };

// What a settled placement did, as the completion message counts it.
// Stored numbers: never renumber.
enum class PlacementResult {
    None = 0,
    Placed = 1,
    Renamed = 2,
    Overwritten = 3,
    Skipped = 4,
    Failed = 5
};

// How a placement ended, with what undo needs to recognise the placed file
// and to bring back a file it replaced.
struct PlacementOutcome {
    PlacementState state = PlacementState::Done;
    PlacementResult result = PlacementResult::Placed;
    int error = 0;  // errno of a failed placement
    // The placed file as it was left; undo touches it only while it is unchanged.
    int64_t size = 0;
    int64_t mtimeSec = 0;
    int64_t mtimeNsec = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    // A file this placement replaced: where it went in the Trash, or that it
    // was replaced without a Trash and cannot be brought back.
    std::string trashedPath;
    std::string trashInfoPath;
    bool replacedWithoutTrash = false;
    // The path the placement really took when it is not the one intended (a
    // numbered name); empty otherwise.
    std::string placedTarget;
};

struct JournalPlacement {
    int64_t id = 0;
    int64_t run = 0;
    int64_t seq = 0;  // 1, 2, ... in the order the run intended them
    std::string source;
    std::string target;  // as intended
    int mode = 0;
    // For a step of an undo run: the placement it puts back, 0 otherwise.
    int64_t undoes = 0;
    // state Intended: no outcome was recorded (the placement may or may not
    // have happened; only the disk can tell). The other fields are then empty.
    PlacementOutcome outcome;

    // Where the placement left its file: the name it really took.
    const std::string& placed() const {
        return outcome.placedTarget.empty() ? target : outcome.placedTarget;
    }
};

}  // namespace zanfeld
