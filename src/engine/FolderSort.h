#pragma once

#include <string>
#include <vector>

#include "FailureLog.h"
#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld {

// Copies the folder source with its whole tree into target (created when
// missing, merged into when present), settling each clashing file by policy.
// Files that fail are added to failures. Returns false when source could not
// be listed. Throws FolderCopyError when a sub-folder cannot be entered.
// The walk never enters the folder that receives the copy, nor `alsoSkip`
// (the run's output directory) when it lies inside the source.
bool CopyFolderTree(const std::string& source, const std::string& target, SameFilePolicy policy,
                    SortHost& host, FailureLog& failures, const std::string& alsoSkip = {});

// One folder sort of the folder window; sources is a copy of its list.
void RunFolderSort(SortOptions options, const std::vector<std::string>& sources, SortHost& host);

}  // namespace zanfeld
