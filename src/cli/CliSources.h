#pragma once

#include <optional>
#include <string>

#include "CliChoices.h"
#include "CliRequest.h"
#include "SourceList.h"

namespace zanfeld {

// The run's list, gathered as the window gathers it: the items named on the
// line, then the walks (sort) or the folders' sub-folders (sort-folders),
// then the list files; a path already listed is not added again. Folders are
// resolved (".", "..", links, doubled separators), so that a file named in
// two spellings is one entry; the last name stays as given. A named
// item that is missing or of the wrong kind, or a list file that cannot be
// read, is refused; so is a line that gathers nothing from its list files,
// naming the first of them and why it gave nothing.
std::optional<ChoiceError> GatherSources(const CliRequest& request, bool folders,
                                         const std::string& cwd, SourceList& list);

}  // namespace zanfeld
