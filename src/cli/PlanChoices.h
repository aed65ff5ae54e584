#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CliChoices.h"
#include "CliRequest.h"
#include "SortTypes.h"

namespace zanfeld {

// Who runs the plans: a refusal of a plan of the other window tells the
// command that would run it.
enum class PlanUser { Sort, SortFolders, Watch };

// The settings file that holds the plans: --settings=FILE, or the default one.
std::string PlanSettingsPath(const CliRequest& request, const std::string& cwd);

// The plans named, in order, each with the choices of the line over it (as
// they go over --settings). An unknown name, or a plan of the other window,
// is refused naming --plan.
std::optional<ChoiceError> ResolvePlans(const std::vector<std::string>& names,
                                        const CliRequest& request, PlanUser user,
                                        const std::string& cwd, std::vector<SortOptions>& plans);

}  // namespace zanfeld
