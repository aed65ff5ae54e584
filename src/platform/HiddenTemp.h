#pragma once

#include <string>

namespace zanfeld {

// Files being written beside their final place carry hidden names of one
// form, ".zanfeld-<pid>-<16 hex digits>.tmp", so that what a killed process
// left behind can be told from everything else.

// A hidden name in folder that no other file is likely to have (callers
// create it with O_EXCL and try another on EEXIST).
std::string HiddenTempName(const std::string& folder);
// The same name alone, for use relative to an open folder.
std::string HiddenTempLeaf();

// What becomes of a temporary that a killed process left.
enum class StaleTemporaries {
    // Removed: only ever a new file's contents not yet published (a save).
    Remove,
    // Moved to the Trash, or left where it is when no Trash takes it: in a
    // folder files are placed into, a hidden name may hold the file a
    // placement was replacing, swapped aside just before the process died.
    Trash
};

// Clears the hidden temporaries in folder whose process has ended; a live
// process's are its own business. Looks at each folder once per process.
// With dirFd (the folder held open), the folder is read and cleared through
// the descriptor rather than its path.
void RemoveStaleTemporaries(const std::string& folder, int dirFd = -1,
                            StaleTemporaries what = StaleTemporaries::Remove);

// A folder this process has just made holds nothing of other processes, so
// RemoveStaleTemporaries need not look into it (a run that makes a folder
// per file would otherwise read every one of them).
void NoteFolderMade(const std::string& folder);

}  // namespace zanfeld
