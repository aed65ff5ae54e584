#include "WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "EntryOps.h"
#include "FileOps.h"
#include "HiddenTemp.h"
#include "Sys.h"
#include "UniqueFd.h"

namespace zanfeld {

namespace {

// As many links as the kernel itself follows before it gives up.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a save of a path writes: what the last of a chain of symlinks
// leads to. Missing when the name (or the end of a dangling link) is free.
struct SaveTarget {
    std::string path;
    bool exists = false;
    mode_t mode = 0;
};

// Only a regular file may be replaced by a save; anything else under the
// name stays as it is.
int RefusalFor(mode_t mode) {
    if (S_ISREG(mode)) return 0;
    if (S_ISDIR(mode)) return EISDIR;
    return kNotRegularFile;
}

// Follows path link by link, without opening anything, to the entry a save
// would replace.
int FindSaveTarget(const std::string& path, SaveTarget& target) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st;
        if (sys().lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT) return errno;
            target = SaveTarget{std::move(current), false, 0};
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (const int refusal = RefusalFor(st.st_mode)) return refusal;
            target = SaveTarget{std::move(current), true, st.st_mode};
            return 0;
        }
        std::string text;
        if (const int error = ReadLinkText(current, text)) return error;
        if (text.empty()) return ENOENT;
        // A relative link is read from the folder that holds it.
        current = text[0] == '/' ? text : FolderOf(current) + "/" + text;
    }
    return ELOOP;
}

// The second look just before the rename: another program may have put
// something else under the name while the data was written.
int LookAgain(const SaveTarget& target) {
    struct stat st;
    if (sys().lstat(target.path.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
    // A link put there meanwhile would be replaced as a name, not followed.
    if (S_ISLNK(st.st_mode)) return kSourceChanged;
    return RefusalFor(st.st_mode);
}

}  // namespace

int ReadWholeFile(const std::string& path, std::string& out, size_t limit) {
    struct stat st;
    if (sys().stat(path.c_str(), &st) != 0) return errno;
    if (const int refusal = RefusalFor(st.st_mode)) return refusal;
    if (static_cast<uint64_t>(st.st_size) > limit) return EFBIG;

    // O_NONBLOCK and O_NOCTTY keep a pipe or terminal swapped in after the
    // look from hanging the program or becoming its terminal.
    const int fd = sys().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0);
    if (fd < 0) return errno;
    UniqueFd guard(fd);
    struct stat opened;
    if (sys().fstat(fd, &opened) != 0) return errno;
    if (opened.st_dev != st.st_dev || opened.st_ino != st.st_ino) return kSourceChanged;

    std::string data;
    try {
        // A first guess only; a file that grows while it is read still works.
        constexpr uint64_t kReserveAtMost = 64u << 20;
        data.reserve(static_cast<size_t>(
            std::min<uint64_t>(static_cast<uint64_t>(st.st_size), kReserveAtMost)));
        char buffer[65536];
        for (;;) {
            const ssize_t n = sys().read(fd, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (n == 0) break;
            const size_t take = static_cast<size_t>(n);
            if (take > limit - data.size()) return EFBIG;
            data.append(buffer, take);
        }
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
    out = std::move(data);
    return 0;
}

int ReplaceFileContents(const std::string& path, std::string_view data) {
    SaveTarget target;
    if (const int error = FindSaveTarget(path, target)) return error;
    const std::string folder = FolderOf(target.path);

    // A save killed half-way left its temporary file; the next save clears it.
    RemoveStaleTemporaries(folder);
    // The new file starts no more open than the one it replaces, so a
    // private file's data is never readable by others on its way.
    const mode_t startMode = target.exists ? (target.mode & 0666) : 0666;
    std::string temp;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = HiddenTempName(folder);
        fd = sys().open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, startMode);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;

    UniqueFd guard(fd);
    int error = WriteAll(fd, data.data(), data.size());
    // The replacement keeps the permission bits of the file it replaces.
    if (error == 0 && target.exists && sys().fchmod(fd, target.mode & 07777) != 0) error = errno;
    if (error == 0 && sys().fdatasync(fd) != 0) error = errno;
    if (error == 0) error = guard.closeNow();
    if (error == 0) error = LookAgain(target);
    if (error == 0 && sys().rename(temp.c_str(), target.path.c_str(), 0) != 0) error = errno;
    if (error != 0) sys().unlink(temp.c_str());
    return error;
}

}  // namespace zanfeld
