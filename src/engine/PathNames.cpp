#include "PathNames.h"

namespace zanfeld {

std::string FileNameOf(std::string_view path) {
    const auto pos = path.rfind(kPathSeparator);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string ExtensionOf(std::string_view path) { return std::string(ExtensionView(path)); }

std::string_view ExtensionView(std::string_view path) {
    const auto sep = path.rfind(kPathSeparator);
    const auto dot = path.rfind('.');
    if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return {};
    return path.substr(dot);
}

std::string BaseNameOf(std::string_view path) { return std::string(BaseNameView(path)); }

std::string_view BaseNameView(std::string_view path) {
    const auto sep = path.rfind(kPathSeparator);
    std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string WithTrailingSeparator(std::string_view path) {
    std::string out(path);
    if (out.empty() || out.back() != kPathSeparator) out.push_back(kPathSeparator);
    return out;
}

bool StaysInside(std::string_view relativeFolder) {
    int depth = 0;
    size_t start = 0;
    while (start <= relativeFolder.size()) {
        size_t end = relativeFolder.find(kPathSeparator, start);
        if (end == std::string_view::npos) end = relativeFolder.size();
        const std::string_view part = relativeFolder.substr(start, end - start);
        if (part == "..") {
            if (--depth < 0) return false;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace zanfeld
