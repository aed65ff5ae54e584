#include "OutputFolder.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "FileOps.h"
#include "MessageTexts.h"
#include "TextUtil.h"

namespace zanfeld {

namespace {

ChoiceError Refuse(const std::string& dir, const std::string& reason) {
    return ChoiceError{"--out", Format(MessageId::CliOutputUnusable, {dir, reason})};
}

// File systems that show the system's state as files: a folder made there
// is no folder of files (in a cgroup file system it is a new group).
bool SystemFileSystem(const std::string& path) {
    struct statfs fs;
    if (statfs(path.c_str(), &fs) != 0) return false;
    switch (static_cast<uint32_t>(fs.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case SELINUX_MAGIC:
        case SMACK_MAGIC:
        case BPF_FS_MAGIC:
        case PSTOREFS_MAGIC:
        case EFIVARFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case BINFMTFS_MAGIC:
            return true;
        default:
            return false;
    }
}

// The folder above path ("/" above "/a"), or "" above "/".
std::string Parent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || path == "/") return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<ChoiceError> CheckOutputDir(const std::string& dir) {
    if (IsBlank(dir)) return std::nullopt;
    std::string path = dir;
    while (path.size() > 1 && path.back() == '/') path.pop_back();

    // The nearest entry on the way that exists; the run makes the rest.
    std::string at = path;
    struct stat st;
    while (stat(at.c_str(), &st) != 0) {
        const int error = errno;
        struct stat link;
        if (error == ENOENT && lstat(at.c_str(), &link) == 0)
            return Refuse(dir, Format(MessageId::CliNotFolder, {at}));  // a dangling link
        if (error != ENOENT && error != ENOTDIR) return Refuse(dir, ReasonText(error));
        at = Parent(at);
        if (at.empty()) return Refuse(dir, ReasonText(error));
    }
    if (!S_ISDIR(st.st_mode))
        return Refuse(dir,
                      at == path ? ReasonText(ENOTDIR) : Format(MessageId::CliNotFolder, {at}));
    if (SystemFileSystem(at)) return Refuse(dir, Format(MessageId::CliVirtualFileSystem));
    // An existing folder must let the run in, and its file system take
    // writes; one it must make needs a parent that takes new entries. (An
    // existing folder closed to writing may still hold folders that are not.)
    const bool exists = at == path;
    if (faccessat(AT_FDCWD, at.c_str(), exists ? X_OK : W_OK | X_OK, AT_EACCESS) != 0)
        return Refuse(dir, ReasonText(errno));
    struct statvfs vfs;
    if (exists && statvfs(at.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0)
        return Refuse(dir, ReasonText(EROFS));
    return std::nullopt;
}

}  // namespace zanfeld
