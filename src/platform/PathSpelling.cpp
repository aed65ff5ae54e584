#include "PathSpelling.h"

#include <climits>
#include <cstdlib>
#include <memory>

namespace zanfeld {

std::string ResolvedFolder(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

std::string ResolvedParent(const std::string& path) {
    size_t end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;  // "a/x/" names x
    const size_t slash = path.rfind('/', end - 1);
    if (slash == std::string::npos) return path;
    const std::string name = path.substr(slash + 1, end - slash - 1);
    if (name.empty() || name == "." || name == "..") return ResolvedFolder(path);
    const std::string folder = ResolvedFolder(slash == 0 ? "/" : path.substr(0, slash));
    return (folder == "/" ? folder : folder + "/") + name;
}

}  // namespace zanfeld
