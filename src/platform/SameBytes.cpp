#include "SameBytes.h"

#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <memory>

#include "FileId.h"
#include "Sys.h"
#include "TargetFolder.h"
#include "UniqueFd.h"

namespace zanfeld {

namespace {

// Small enough that both chunks stay in the processor's cache while they
// are compared, large enough that the calls cost little beside the copying.
constexpr size_t kChunk = 256 * 1024;

struct Side {
    int dirFd;
    const char* name;
    struct stat st {};
    UniqueFd fd;
};

// A look without following a link: a regular file, or nothing to open.
bool LookRegular(Side& side) {
    return sys().statAt(side.dirFd, side.name, &side.st, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(side.st.st_mode);
}

// Opens what was looked at; a name swapped meanwhile (for a link, a pipe or
// another file) is no longer the file that was looked at.
bool Open(Side& side) {
    // O_NONBLOCK: a pipe swapped in after the look does not hang the open.
    side.fd.reset(sys().openAt(side.dirFd, side.name,
                               O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0));
    struct stat now;
    return side.fd.valid() && sys().fstat(side.fd.get(), &now) == 0 && S_ISREG(now.st_mode) &&
           FileId::Of(now) == FileId::Of(side.st) && now.st_size == side.st.st_size;
}

// Reads count bytes, going on after short reads; false on an error or when
// the file ends first (it shrank since the look).
bool ReadFull(int fd, char* buffer, size_t count) {
    while (count > 0) {
        const ssize_t n = sys().read(fd, buffer, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

bool Compare(Side& a, Side& b) {
    if (!LookRegular(a) || !LookRegular(b) || a.st.st_size != b.st.st_size) return false;
    // One file under two names is the same bytes without a read.
    if (FileId::Of(a.st) == FileId::Of(b.st)) return true;
    if (!Open(a) || !Open(b)) return false;
    thread_local std::unique_ptr<char[]> buffers;
    if (!buffers) buffers = std::make_unique<char[]>(2 * kChunk);
    char* const first = buffers.get();
    char* const second = first + kChunk;
    // Only the length looked at is compared: a file that grows meanwhile is
    // compared as it was, and one being written without end cannot hold the
    // comparison up.
    for (uint64_t left = static_cast<uint64_t>(a.st.st_size); left > 0;) {
        const size_t n = left < kChunk ? static_cast<size_t>(left) : kChunk;
        if (!ReadFull(a.fd.get(), first, n) || !ReadFull(b.fd.get(), second, n) ||
            memcmp(first, second, n) != 0)
            return false;
        left -= n;
    }
    return true;
}

}  // namespace

bool SameBytesIn(const SourceFile& file, const TargetFolder& folder, const std::string& name) {
    Side a{file.dirFd(), file.name()};
    Side b{folder.fd(), name.c_str()};
    return Compare(a, b);
}

bool SameBytes(const std::string& a, const std::string& b) {
    Side first{AT_FDCWD, a.c_str()};
    Side second{AT_FDCWD, b.c_str()};
    return Compare(first, second);
}

}  // namespace zanfeld
