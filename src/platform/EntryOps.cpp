#include "EntryOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "HiddenTemp.h"
#include "ReplacedFiles.h"
#include "Sys.h"

namespace zanfeld {

namespace {

constexpr int kNameAttempts = 16;

EntryKind KindOf(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    if (S_ISLNK(st.st_mode)) return EntryKind::Symlink;
    return EntryKind::Other;
}

std::optional<FileTime> TimeOf(const struct stat& st) {
    return FileTime{static_cast<int64_t>(st.st_mtim.tv_sec),
                    static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

int ReadLinkAt(int dirFd, const std::string& path, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = sys().readlinkAt(dirFd, path.c_str(), buffer.data(), buffer.size());
        if (n < 0) return errno;
        if (static_cast<size_t>(n) < buffer.size()) {
            text.assign(buffer.data(), static_cast<size_t>(n));
            return 0;
        }
        // Possibly cut short: try again with room to spare.
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

EntryKind EntryKindOf(const std::string& path) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0) return EntryKind::Missing;
    return KindOf(st);
}

EntryKind EntryKindIn(const TargetFolder& folder, const std::string& name) {
    struct stat st;
    if (!IsPlainName(name) ||
        sys().statAt(folder.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return EntryKind::Missing;
    }
    return KindOf(st);
}

std::optional<FolderId> FolderIdOf(const std::string& path) {
    struct stat st;
    if (sys().stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return FileId::Of(st);
}

int ReadLinkText(const std::string& path, std::string& text) {
    return ReadLinkAt(AT_FDCWD, path, text);
}

int ReadLinkTextIn(const TargetFolder& folder, const std::string& name, std::string& text) {
    if (!IsPlainName(name)) return EINVAL;
    return ReadLinkAt(folder.fd(), name, text);
}

int MakeSymlinkIn(const std::string& text, const TargetFolder& folder, const std::string& name,
                  Publish publish, bool* replaced) {
    if (!IsPlainName(name)) return EINVAL;
    if (sys().symlinkAt(text.c_str(), folder.fd(), name.c_str()) == 0) return 0;
    const int e = errno;
    if (publish == Publish::Keep || e != EEXIST) return e;
    // Made under a hidden name, then swapped in: what stood under the name
    // goes to the keeper in force (the Trash), as a replaced file does.
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string hidden = HiddenTempLeaf();
        if (sys().symlinkAt(text.c_str(), folder.fd(), hidden.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        const int re =
            RenameReplacing(folder.fd(), hidden, folder.fd(), name, folder.pathOf(name), replaced);
        if (re != 0) sys().unlinkAt(folder.fd(), hidden.c_str(), 0);
        return re;
    }
    return EEXIST;
}

std::optional<FileTime> EntryTimeOf(const std::string& path) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0) return std::nullopt;
    return TimeOf(st);
}

std::optional<FileTime> EntryTimeIn(const TargetFolder& folder, const std::string& name) {
    struct stat st;
    if (!IsPlainName(name) ||
        sys().statAt(folder.fd(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return TimeOf(st);
}

}  // namespace zanfeld
