#pragma once

#include <optional>
#include <string>
#include <vector>

#include "SortTypes.h"

namespace zanfeld {

// A sort a person set up once and runs again by name: every choice of a
// window (criterion page and its fields, copy or move, same-name answer,
// output folder, type filter). Stored in the settings file as a section
// "[Plan:<name>]" beside the windows' own sections, with the windows' keys
// and a few of its own, so that it can be read and edited by hand.
struct SortPlan {
    std::string name;
    bool folders = false;  // a plan of the folder window
    SortOptions options;
};

// "" when name can name a plan, else why not (a sentence to show). A name
// is at most 64 bytes of UTF-8, not blank, without control characters, "[",
// "]" or blanks at either end.
std::string PlanNameProblem(const std::string& name);

// The plans in the file, in its order. A section whose name is no usable
// plan name is left out.
std::vector<SortPlan> LoadPlans(const std::string& iniPath);
// The plan of that name (names compare as the file's sections do: ASCII
// letters without case), or none.
std::optional<SortPlan> LoadPlan(const std::string& iniPath, const std::string& name);

// Stores plan, replacing one of its name; every other section, key and
// comment stays. Returns "" or the text of what went wrong.
std::string SavePlan(const std::string& iniPath, const SortPlan& plan);
// Removes the plan of that name. "" when it is gone (or was never there).
std::string DeletePlan(const std::string& iniPath, const std::string& name);

}  // namespace zanfeld
