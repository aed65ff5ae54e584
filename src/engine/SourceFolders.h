#pragma once

#include <string>
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
    static constexpr size_t kMostOpen = 64;

    std::unordered_map<std::string, UniqueFd> m_open;
    // The folder of the previous source, found again without a lookup.
    std::string m_lastFolder;
    int m_lastFd = -1;
};

}  // namespace zanfeld
