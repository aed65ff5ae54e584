#pragma once

#include <cstring>
#include <fstream>
#include <string>

namespace zanfeld::test {

// A size in KiB from this process's /proc/self/status ("VmRSS:", "VmHWM:"),
// -1 when it is not there.
inline long StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0) return std::stol(line.substr(n));
    return -1;
}

}  // namespace zanfeld::test
