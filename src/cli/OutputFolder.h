#pragma once

#include <optional>
#include <string>

#include "CliChoices.h"

namespace zanfeld {

// Whether dir can be a run's output directory, looked at before the run: an
// existing folder that can be entered, or a missing one that the run can make
// (its nearest existing parent a folder that takes new entries), never on a
// file system of the system's own (/proc, /sys). A run into anything else
// would fail file by file. A blank dir is left to the run's own check, and
// nothing is made or changed here. The refusal names --out.
std::optional<ChoiceError> CheckOutputDir(const std::string& dir);

}  // namespace zanfeld
