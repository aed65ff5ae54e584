#pragma once

#include <string>

namespace zanfeld {

// The user's home folder: $HOME when set, else the password database's
// entry, else ".". No trailing separator.
std::string HomeFolder();

// Where sorted files go on the first start, before any output directory was
// chosen: a folder the user owns and can find, the home folder, with its
// trailing separator. (Next to the program, as elsewhere, would be a build
// folder or a system folder nobody may write to.)
std::string DefaultOutputFolder();

}  // namespace zanfeld
