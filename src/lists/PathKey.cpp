#include "PathKey.h"

namespace zanfeld {

std::string PathKey(std::string_view path) {
    // Linux file systems tell "A.txt" and "a.txt" apart, so both may be listed.
    return std::string(path);
}

}  // namespace zanfeld
