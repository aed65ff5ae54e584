#pragma once

#include <string>

namespace zanfeld {

// The user's home folder: $HOME when it is set and not empty, else this
// user's entry in the password database; "" when neither gives one.
std::string HomeFolder();

}  // namespace zanfeld
