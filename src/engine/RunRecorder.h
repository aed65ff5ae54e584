#pragma once

#include <cstdint>
#include <string>

#include "RunNotes.h"
#include "SortTypes.h"

namespace zanfeld {

// Which window a run came from.
enum class RunWindow { Files, Folders };

// How a run ended, for its record.
enum class RunEnd {
    Finished,   // through to its completion message
    Stopped,    // by the user
    EndedEarly  // by an error that ended it
};

// What became of one placement of a file into one folder.
struct PlacementRecord {
    FileOutcome outcome = FileOutcome::Placed;
    std::string target;  // the path the file took, or would have taken
    int error = 0;       // for a failure
    // The file placed, as it was right after (all 0 when nothing was placed).
    int64_t size = 0;
    int64_t mtimeSec = 0;
    int64_t mtimeNsec = 0;
    uint64_t device = 0;
    uint64_t inode = 0;
    // The file it replaced: where it went in the Trash, or lost when it could
    // not be kept there.
    std::string trashFile;
    std::string trashInfo;
    bool replacedLost = false;
};

// Keeps the record of a run, so that it can be listed and undone later. A
// run calls it from its own thread only. A recorder that cannot write goes
// on taking calls; ok() then tells the run that it cannot be undone.
class RunRecorder {
  public:
    virtual ~RunRecorder() = default;
    virtual void beginRun(RunWindow window, const SortOptions& options) = 0;
    // Before a placement: the source and the target it is meant for. The
    // number returned names the placement in done().
    virtual int64_t intend(const std::string& source, const std::string& target,
                           TransferMode mode) = 0;
    virtual void done(int64_t placement, const PlacementRecord& record) = 0;
    // During a placement, before it replaces a file: where that file is kept
    // in the Trash, written before the replacing step so that a process
    // killed in it leaves a record of where the file went.
    virtual void replacing(int64_t /*placement*/, const std::string& /*trashFile*/,
                           const std::string& /*trashInfo*/) {}
    // A folder the run made.
    virtual void madeFolder(const std::string& path) = 0;
    virtual void endRun(RunEnd end, const RunCounts& counts) = 0;
    // Every record so far was written.
    virtual bool ok() const = 0;
};

}  // namespace zanfeld
