#include "TargetFolder.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "Sys.h"

namespace zanfeld {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

int TargetFolder::adopt(int fd, std::string path) {
    UniqueFd owned(fd);
    struct stat st;
    if (sys().fstat(owned.get(), &st) != 0) return errno;
    m_fd = std::move(owned);
    m_path = std::move(path);
    m_id = FileId::Of(st);
    // Another folder, or the same one opened anew: nothing learned holds.
    m_swept = false;
    m_keptBits = 0;
    m_bitsUnforeseen = false;
    m_refusesUnnamed = m_refusesNoReplace = m_refusesExchange = m_copyRangeRefused = false;
    return 0;
}

int TargetFolder::open(const std::string& path) {
    if (path.empty()) return ENOENT;
    const int fd = sys().openAt(AT_FDCWD, path.c_str(), kFolderFlags, 0);
    if (fd < 0) return errno;
    return adopt(fd, WithoutTrailingSeparators(path));
}

int TargetFolder::openChild(const TargetFolder& parent, const std::string& name) {
    if (!IsPlainName(name)) return EINVAL;
    const int fd = sys().openAt(parent.fd(), name.c_str(), kFolderFlags | O_NOFOLLOW, 0);
    if (fd < 0) return errno;
    return adopt(fd, parent.pathOf(name));
}

int TargetFolder::openFolderOf(const std::string& path, std::string& name) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        name = path;
        return open(".");
    }
    name = path.substr(slash + 1);
    return open(slash == 0 ? std::string("/") : path.substr(0, slash));
}

int TargetFolder::openSameAs(const TargetFolder& other) {
    const int fd = ::fcntl(other.fd(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return errno;
    m_fd.reset(fd);
    m_path = other.m_path;
    m_id = other.m_id;
    m_swept = other.m_swept;
    m_keptBits = other.m_keptBits;
    m_bitsUnforeseen = other.m_bitsUnforeseen;
    m_refusesUnnamed = other.m_refusesUnnamed;
    m_refusesNoReplace = other.m_refusesNoReplace;
    m_refusesExchange = other.m_refusesExchange;
    m_copyRangeRefused = other.m_copyRangeRefused;
    m_copyRangeRefusedFrom = other.m_copyRangeRefusedFrom;
    return 0;
}

void TargetFolder::learnFrom(const TargetFolder& other) const {
    m_swept = m_swept || other.m_swept;
    m_keptBits |= other.m_keptBits;
    m_bitsUnforeseen = m_bitsUnforeseen || other.m_bitsUnforeseen;
    m_refusesUnnamed = m_refusesUnnamed || other.m_refusesUnnamed;
    m_refusesNoReplace = m_refusesNoReplace || other.m_refusesNoReplace;
    m_refusesExchange = m_refusesExchange || other.m_refusesExchange;
    if (other.m_copyRangeRefused) {
        m_copyRangeRefused = true;
        m_copyRangeRefusedFrom = other.m_copyRangeRefusedFrom;
    }
}

std::string TargetFolder::pathOf(const std::string& name) const {
    if (!m_path.empty() && m_path.back() == '/') return m_path + name;
    return m_path + '/' + name;
}

int TargetFolder::renameInto(int fromDir, const char* from, const std::string& name,
                             unsigned int flag) const {
    bool& refused = flag == RENAME_EXCHANGE ? m_refusesExchange : m_refusesNoReplace;
    if (refused) return EINVAL;
    if (sys().renameAt(fromDir, from, fd(), name.c_str(), flag) == 0) return 0;
    // EINVAL comes from the file system both names are on (another mount
    // says EXDEV first): it has no such flag.
    if (errno == EINVAL) refused = true;
    return errno;
}

bool TargetFolder::stillAtItsPath() const {
    struct stat st;
    return sys().stat(m_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && FileId::Of(st) == m_id;
}

bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           std::memchr(name.data(), '/', name.size()) == nullptr &&
           std::memchr(name.data(), '\0', name.size()) == nullptr;
}

}  // namespace zanfeld
