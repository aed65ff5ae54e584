#pragma once

#include "CliContext.h"
#include "CliRequest.h"

namespace zanfeld {

// watch: keeps folders sorted with stored plans (those of the line, or each
// folder's own from the settings file's [Watch] section) until SIGTERM or
// Ctrl-C, each batch of settled files one automatic run in the journal.
// Returns the exit status: 0 once stopped, 2 for a refused line, a plan that
// cannot run unattended, or a watch of the same settings already running.
int RunWatchCommand(const CliRequest& request, const CliContext& context);

}  // namespace zanfeld
