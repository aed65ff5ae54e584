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

// Several plans as one run: each file goes through the plans in the order
// given; a plan that moved the file ends its way, while after a copy (or a
// plan that did not select it) the later plans see it too. One begin, one
// completion message, one record. With a single plan it is the run above.
void RunFileSort(const std::vector<SortOptions>& plans, const std::vector<std::string>& sources,
                 SortHost& host);

}  // namespace zanfeld
