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

// Removes the hidden temporaries in folder whose process has ended; a live
// process's are its own business. Looks at each folder once per process.
// With dirFd (the folder held open), the folder is read and cleared through
// the descriptor rather than its path.
void RemoveStaleTemporaries(const std::string& folder, int dirFd = -1);

// A folder this process has just made holds nothing of other processes, so
// RemoveStaleTemporaries need not look into it (a run that makes a folder
// per file would otherwise read every one of them).
void NoteFolderMade(const std::string& folder);

}  // namespace zanfeld
