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

// A file that a placement swaps out from under a name lies under a hidden
// name of a second form, ".zanfeld-<pid>-<16 hex digits>.old", until it is
// in the Trash. That is only ever so where it could not be given its name in
// the Trash before the swap (see ReplacedFileKeeper::keepAhead).
std::string HiddenAsideLeaf();
// Whether name is a hidden temporary (of the first form) of this process.
bool IsOwnHiddenTemp(const std::string& name);

// Clears what processes that have ended left in folder; a live process's
// leftovers are its own business. A temporary of the first form is only ever
// new contents not yet published (a copy whose source is still whole, a
// save), or a second name of a file that has its own: it is removed. One of
// the second form may be the file a placement was replacing: it goes to the
// Trash, or stays where it is when no Trash takes it. Looks at each folder
// once per process. With dirFd (the folder held open), the folder is read
// and cleared through the descriptor rather than its path.
void RemoveStaleTemporaries(const std::string& folder, int dirFd = -1);

// A folder this process has just made holds nothing of other processes, so
// RemoveStaleTemporaries need not look into it (a run that makes a folder
// per file would otherwise read every one of them).
void NoteFolderMade(const std::string& folder);

}  // namespace zanfeld
