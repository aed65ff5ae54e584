#include "WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "HiddenTemp.h"
#include "Sys.h"
#include "UniqueFd.h"

namespace zanfeld {

namespace {

// The path whose file is to be replaced: a symlink is followed so that the
// file it names is rewritten and the link stays a link.
std::string ResolveTarget(const std::string& path) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;  // dangling: replace the name
    return resolved;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

int ReadWholeFile(const std::string& path, std::string& out, size_t limit, bool stopAtNul) {
    // O_NONBLOCK keeps a pipe without a writer from hanging the program.
    const int fd = sys().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (fd < 0) return errno;
    UniqueFd guard(fd);
    struct stat st;
    if (sys().fstat(fd, &st) != 0) return errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (S_ISREG(st.st_mode) && !stopAtNul && static_cast<uint64_t>(st.st_size) > limit) {
        return EFBIG;
    }

    std::string data;
    try {
        // A first guess only; a file that grows while it is read still works.
        constexpr uint64_t kReserveAtMost = 64u << 20;
        if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= limit) {
            data.reserve(static_cast<size_t>(
                std::min<uint64_t>(static_cast<uint64_t>(st.st_size), kReserveAtMost)));
        }
        char buffer[65536];
        for (;;) {
            const ssize_t n = sys().read(fd, buffer, sizeof buffer);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            if (n == 0) break;
            size_t take = static_cast<size_t>(n);
            bool sawNul = false;
            if (stopAtNul) {
                if (const void* nul = std::memchr(buffer, '\0', take)) {
                    take = static_cast<size_t>(static_cast<const char*>(nul) - buffer);
                    sawNul = true;
                }
            }
            if (take > limit - data.size()) return EFBIG;
            data.append(buffer, take);
            if (sawNul) break;
        }
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
    out = std::move(data);
    return 0;
}

int ReplaceFileContents(const std::string& path, std::string_view data) {
    const std::string target = ResolveTarget(path);
    const std::string folder = FolderOf(target);

    // A save killed half-way left its temporary file; the next save clears it.
    RemoveStaleTemporaries(folder);
    std::string temp;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = HiddenTempName(folder);
        fd = sys().open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;

    UniqueFd guard(fd);
    int error = WriteAll(fd, data.data(), data.size());
    struct stat st;
    if (error == 0 && sys().stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        // The replacement keeps the permission bits of the file it replaces.
        if (sys().fchmod(fd, st.st_mode & 07777) != 0) error = errno;
    }
    if (error == 0 && sys().fdatasync(fd) != 0) error = errno;
    if (error == 0) error = guard.closeNow();
    if (error == 0 && sys().rename(temp.c_str(), target.c_str(), 0) != 0) error = errno;
    if (error != 0) sys().unlink(temp.c_str());
    return error;
}

}  // namespace zanfeld
