#pragma once

#include <functional>
#include <string>
#include <vector>

#include "SourceList.h"

namespace zanfeld {

// Called after each directory entry of a walk, so the window can let pending
// events run.
using WalkTick = std::function<void()>;

// Files of dir (which ends in the separator) and of all its sub-folders,
// depth first, pre-order, each folder's files appended after its listing.
void IndexDisk(SourceList& list, const std::string& dir, const WalkTick& tick = {});
// The same down to depth levels of sub-folders; below 0 nothing, 0 only dir's files.
void IndexDisk2(SourceList& list, const std::string& dir, int depth, const WalkTick& tick = {});
// Only the files directly in dir.
void AddFolderFiles(SourceList& list, const std::string& dir, const WalkTick& tick = {});
// The first-level sub-folders of dir (the folder window), hidden ones left out.
void AddSubFolders(SourceList& list, const std::string& dir, const WalkTick& tick = {});
// Dropped paths: regular files (a link to one counts) appended even when
// listed; folders, devices, pipes and sockets ignored.
// Returns how many were appended.
size_t HandleDroppedFiles(SourceList& list, const std::vector<std::string>& paths);

}  // namespace zanfeld
