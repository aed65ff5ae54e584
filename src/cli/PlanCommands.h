#pragma once

#include "CliContext.h"
#include "CliRequest.h"

namespace zanfeld {

// plans: the stored plans, in the settings file's order. Returns the exit status.
int RunPlansCommand(const CliRequest& request, const CliContext& context);

// plans save NAME: the choices of the line (those of sort, or with --folders
// those of sort-folders) stored as a plan, replacing one of that name.
int RunPlanSaveCommand(const CliRequest& request, const CliContext& context);

// plans delete NAME.
int RunPlanDeleteCommand(const CliRequest& request, const CliContext& context);

}  // namespace zanfeld
