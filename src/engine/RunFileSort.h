#pragma once

#include <string>
#include <vector>

#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld {

// One file sort: the checks, the rule's preparation, then every listed file
// through the type filter, the rule and placement, with progress, and the
// completion message. `sources` is the list as it stood when the run started.
void RunFileSort(SortOptions options, const std::vector<std::string>& sources, SortHost& host);

}  // namespace zanfeld
