#pragma once

#include "CliContext.h"
#include "CliRequest.h"

namespace zanfeld {

// sort and sort-folders: a run (or with --dry-run its plan) of the file or
// the folder window's engine. Returns the exit status.
int RunSortCommand(const CliRequest& request, const CliContext& context);

}  // namespace zanfeld
