#pragma once

#include "CliContext.h"
#include "CliRequest.h"

namespace zanfeld {

// undo [RUN]: tells what the undo of the run will do, asks (unless --yes),
// and puts the run back as the window's undo does. Returns the exit status.
int RunUndoCommand(const CliRequest& request, const CliContext& context);

// history: the recorded runs, newest first.
int RunHistoryCommand(const CliRequest& request, const CliContext& context);

}  // namespace zanfeld
