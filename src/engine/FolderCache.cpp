#include "FolderCache.h"

#include <cerrno>

#include "FileOps.h"

namespace zanfeld {

TargetFolder* FolderCache::get(const std::string& name, bool make, int& error) {
    if (const auto it = m_open.find(name); it != m_open.end()) return &it->second;
    const std::string path = m_outputDir + name;
    TargetFolder folder;
    error = folder.open(path);
    if (error == ENOENT && make) {
        error = MakeDirs(path);
        if (error == 0) error = folder.open(path);
    }
    if (error != 0) return nullptr;
    if (m_open.size() >= kMostOpen) m_open.clear();
    return &m_open.emplace(name, std::move(folder)).first->second;
}

}  // namespace zanfeld
