#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zanfeld {

// Where a run is, for a window's status line.
struct RunProgress {
    const std::string* path = nullptr;  // the file being placed; valid during the call only
    size_t index = 0;                   // the list entry whose turn it is, from 0
    size_t count = 0;                   // entries in the list
    bool moving = false;                // files are moved rather than copied
    uint64_t bytesDone = 0;             // of the file's data copied so far
    uint64_t bytesTotal = 0;            // its size, once a copy of its data began
};

// How one file that the rule selected ended.
enum class FileOutcome {
    Placed,       // under its own name, or already where it belongs
    Renamed,      // under a numbered name
    Overwritten,  // in place of a file of the same name
    Skipped,      // left as it was by the same-name answer (or the user's No)
    Failed        // counted in the completion message
};

// A run's files by outcome.
struct RunCounts {
    size_t placed = 0;
    size_t skipped = 0;
    size_t renamed = 0;
    size_t overwritten = 0;
    size_t failed = 0;

    void add(FileOutcome outcome);
    // "已放置 3 个，跳过 1 个，改名 0 个，覆盖 2 个，失败 0 个"
    std::string text() const;
};

// An undo's files by what became of them.
struct UndoCounts {
    size_t movedBack = 0;  // moved files put back where they came from
    size_t removed = 0;    // copies taken away (deleted, or put in the Trash)
    size_t restored = 0;   // replaced files brought back from the Trash
    size_t notUndone = 0;  // left as they were, each with its reason

    // "移回 2 个，移除 0 个，恢复 1 个，未撤销 0 个"
    std::string text() const;
};

}  // namespace zanfeld
