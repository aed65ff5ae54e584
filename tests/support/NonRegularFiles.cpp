#include "NonRegularFiles.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace zanfeld::test {

int MakeNullDevice(const std::string& path) {
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 ? 0 : errno;
}

int MakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0 ? 0 : errno; }

int MakeSocketFile(const std::string& path) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return ENAMETOOLONG;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    const int result = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int error = result == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

EntryIdentity IdentityOf(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) throw std::runtime_error("no entry " + path);
    return EntryIdentity{st.st_dev, st.st_ino, st.st_mode, st.st_rdev};
}

}  // namespace zanfeld::test
