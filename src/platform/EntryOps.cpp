#include "EntryOps.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "HiddenTemp.h"
#include "Sys.h"

namespace zanfeld {

namespace {

constexpr int kNameAttempts = 16;

// A hidden name beside path for a link that is published by rename.
std::string HiddenLinkName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return HiddenTempName(slash == std::string::npos ? std::string(".") : path.substr(0, slash));
}

}  // namespace

EntryKind EntryKindOf(const std::string& path) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0) return EntryKind::Missing;
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    if (S_ISLNK(st.st_mode)) return EntryKind::Symlink;
    return EntryKind::Other;
}

std::optional<FolderId> FolderIdOf(const std::string& path) {
    struct stat st;
    if (sys().stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
    return FolderId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

int ReadLinkText(const std::string& path, std::string& text) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = sys().readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) return errno;
        if (static_cast<size_t>(n) < buffer.size()) {
            text.assign(buffer.data(), static_cast<size_t>(n));
            return 0;
        }
        // Possibly cut short: try again with room to spare.
        buffer.resize(buffer.size() * 2);
    }
}

int MakeSymlink(const std::string& text, const std::string& path, Publish publish) {
    if (::symlink(text.c_str(), path.c_str()) == 0) return 0;
    const int e = errno;
    if (publish == Publish::Keep || e != EEXIST) return e;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string hidden = HiddenLinkName(path);
        if (::symlink(text.c_str(), hidden.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        // rename refuses to put a non-folder over a folder (EISDIR).
        if (sys().rename(hidden.c_str(), path.c_str(), 0) == 0) return 0;
        const int re = errno;
        sys().unlink(hidden.c_str());
        return re;
    }
    return EEXIST;
}

std::optional<FileTime> EntryTimeOf(const std::string& path) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0) return std::nullopt;
    return FileTime{static_cast<int64_t>(st.st_mtim.tv_sec),
                    static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

}  // namespace zanfeld
