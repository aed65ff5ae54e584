#pragma once

#include <sys/stat.h>

#include <cstdint>

namespace zanfeld {

// Which file (or folder) an entry is: two names lead to the same file exactly
// when device and inode agree, whatever the paths look like (bind mounts,
// links, a second mount of one file system).
struct FileId {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FileId&) const = default;

    static FileId Of(const struct stat& st) {
        return FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    }
};

}  // namespace zanfeld
