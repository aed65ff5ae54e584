#include "SourceFolders.h"

#include <fcntl.h>

#include "Sys.h"

namespace zanfeld {

SourceFile SourceFolders::get(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return SourceFile(path);
    const char* name = path.c_str() + slash + 1;
    const size_t folderLength = slash == 0 ? 1 : slash;
    if (m_lastFolder && m_lastFolder->size() == folderLength &&
        path.compare(0, folderLength, *m_lastFolder) == 0) {
        return SourceFile(path, m_lastFd, name);
    }
    const std::string_view folder(path.data(), folderLength);
    auto it = m_open.find(folder);
    if (it == m_open.end()) {
        // O_PATH: the folder is only a place to look things up in.
        const std::string folderPath(folder);
        const int fd =
            sys().openAt(AT_FDCWD, folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC, 0);
        if (fd < 0) return SourceFile(path);
        if (m_open.size() >= kMostOpen) {
            // One goes to make room (the answers given out before this one
            // are no longer in use); a list that cycles through more folders
            // than are held keeps most of them.
            m_open.erase(m_open.begin());
            m_lastFolder = nullptr;
        }
        it = m_open.emplace(folderPath, UniqueFd(fd)).first;
    }
    m_lastFolder = &it->first;
    m_lastFd = it->second.get();
    return SourceFile(path, m_lastFd, name);
}

}  // namespace zanfeld
