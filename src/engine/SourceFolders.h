#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "SourceFile.h"
#include "UniqueFd.h"

namespace zanfeld {

// The folders of a run's sources, held open, so that each source is reached
// by its name in its folder rather than by a walk down its whole path on
// every call. Sources of one folder usually come one after another.
class SourceFolders {
  public:
    // How to reach the source at path (which must outlive the answer): by its
    // name in its folder, or by the whole path when the folder cannot be
    // opened (the calls on the file then fail, or not, as they would).
    SourceFile get(const std::string& path);

  private:
    // As many as the target folders a run holds; far below the usual limit
    // of 1024 descriptors.
    static constexpr size_t kMostOpen = 256;

    // Looked up by a part of a source's path, without copying it.
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };

    std::unordered_map<std::string, UniqueFd, Hash, std::equal_to<>> m_open;
    // The folder of the previous source (a key of m_open), found again
    // without a lookup.
    const std::string* m_lastFolder = nullptr;
    int m_lastFd = -1;
};

}  // namespace zanfeld
