#pragma once

#include <string>
#include <vector>

#include "FailureLog.h"
#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld {

class SortRunFrame;

// Copies the folder source with its whole tree into target (created when
// missing, merged into when present), settling each clashing file by policy.
// Files that fail are added to failures. Returns false when source could not
// be listed. Throws FolderCopyError when a sub-folder cannot be entered.
// The walk never enters the folder that receives the copy, nor `alsoSkip`
// (the run's output directory) when it lies inside the source. With a run's
// frame, each file is noted and counted, and a stop asked for by the user
// ends the copy between two files or inside a large one (no half copy is
// left); the caller learns of it from the frame.
bool CopyFolderTree(const std::string& source, const std::string& target, SameFilePolicy policy,
                    SortHost& host, FailureLog& failures, const std::string& alsoSkip = {},
                    SortRunFrame* frame = nullptr);

// One folder sort of the folder window; sources is a copy of its list.
void RunFolderSort(SortOptions options, const std::vector<std::string>& sources, SortHost& host);

}  // namespace zanfeld
