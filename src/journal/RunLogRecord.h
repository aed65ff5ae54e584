#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "JournalRecords.h"

namespace zanfeld {

// The outcome of one placement as a run log carries it.
struct LoggedOutcome {
    int64_t placement = 0;
    PlacementOutcome outcome;
};

// The intent of one placement as a run log carries it.
struct LoggedIntent {
    int64_t id = 0;
    int64_t seq = 0;
    int mode = 0;
    int64_t undoes = 0;  // an undo step's placement
    std::string source;
    std::string target;
};

// One record of a run log. The first record of a log names its run; each
// later one is what one intend() added: the outcomes and folders that were
// waiting, and the new placement's intent.
struct RunLogRecord {
    bool isHeader = false;
    int64_t run = 0;        // header only
    int64_t startedNs = 0;  // header only: tells the run from another of the same id
    std::vector<LoggedOutcome> outcomes;
    std::vector<std::string> folders;
    std::optional<LoggedIntent> intent;
};

}  // namespace zanfeld
