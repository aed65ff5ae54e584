#pragma once

#include <sys/types.h>

#include <string>

namespace zanfeld::test {

// Entries that are not regular files, made in a test's own folder. Each
// returns 0 or the errno of the call that failed.

// A character device with the numbers of /dev/null (1, 3): a private stand-in
// for the real one, which a save run as root could otherwise replace.
int MakeNullDevice(const std::string& path);
int MakeFifo(const std::string& path);
// A listening-socket file left behind by a closed unix socket.
int MakeSocketFile(const std::string& path);

// What identifies an entry and its kind, not following a symlink, so a test
// can tell that a device or pipe is still the very same one.
struct EntryIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    mode_t mode = 0;  // type and permission bits
    dev_t rdev = 0;   // device numbers of a device node
    bool operator==(const EntryIdentity&) const = default;
};
EntryIdentity IdentityOf(const std::string& path);

}  // namespace zanfeld::test
