#pragma once

#include <string>
#include <unordered_map>

#include "TargetFolder.h"

namespace zanfeld {

// The target folders of one run, held open: each is looked up (and made) once
// rather than once per file, and what is placed into it goes into the folder
// that was opened, even should its path be swapped for a link meanwhile.
class FolderCache {
  public:
    // outputDir ends in the separator; folders are named relative to it.
    explicit FolderCache(std::string outputDir) : m_outputDir(std::move(outputDir)) {}

    // The folder outputDir + name, made first with every missing parent when
    // make is set and it is not there. Null, with the reason in error, when
    // it cannot be made or opened.
    TargetFolder* get(const std::string& name, bool make, int& error);
    // The folder name is opened (and made) anew the next time: it was removed
    // or replaced since it was opened.
    void forget(const std::string& name) { m_open.erase(name); }
    // Whether the folder name is held open already.
    bool isOpen(const std::string& name) const { return m_open.count(name) != 0; }

  private:
    // Far below the usual limit of 1024 descriptors; a run with more folders
    // (a folder per file, say) simply opens them again.
    static constexpr size_t kMostOpen = 256;

    std::string m_outputDir;
    std::unordered_map<std::string, TargetFolder> m_open;
};

}  // namespace zanfeld
