#pragma once

#include <string>

namespace zanfeld {

// The user's home folder: $HOME when it is set and not empty, else this
// user's entry in the password database; "" when neither gives one.
std::string HomeFolder();

// Where sorted files go on the first start, before any output directory was
// chosen: a folder the user owns and can find, the home folder, with its
// trailing separator; "" when no home folder is known, so that the user is
// asked for one. (Next to the program, as elsewhere, would be a build folder
// or a system folder nobody may write to.)
std::string DefaultOutputFolder();

}  // namespace zanfeld
