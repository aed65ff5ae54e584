#pragma once

#include <string>
#include <string_view>

namespace zanfeld {

// The key under which two list entries count as the same path. Linux file
// systems tell letter case apart, so the key is the path itself; a Windows
// build folds case here and nowhere else.
std::string PathKey(std::string_view path);

}  // namespace zanfeld
