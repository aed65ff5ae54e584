#include "FolderCache.h"

#include <cerrno>

#include "FileOps.h"

namespace zanfeld {

TargetFolder* FolderCache::get(const std::string& path, bool make, int& error) {
    if (const auto it = m_open.find(path); it != m_open.end()) return &it->second;
    TargetFolder folder;
    error = folder.open(path);
    if (error == ENOENT && make) {
        error = MakeDirs(path);
        if (error == 0) error = folder.open(path);
    }
    if (error != 0) return nullptr;
    if (m_open.size() >= kMostOpen) m_open.clear();
    return &m_open.emplace(path, std::move(folder)).first->second;
}

}  // namespace zanfeld
