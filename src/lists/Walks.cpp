#include "Walks.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>

#include "FileOps.h"

namespace zanfeld {

namespace {

enum class EntryKind { File, Folder, Other };

// What a directory entry is for the walks. A symlink to a file counts as a
// file; a symlink to a folder is neither, so a walk never follows a link into
// a loop. Pipes, sockets and devices are left out: opening one during a sort
// run could block it.
EntryKind KindOf(int dirFd, const struct dirent* entry) {
    switch (entry->d_type) {
        case DT_REG:
            return EntryKind::File;
        case DT_DIR:
            return EntryKind::Folder;
        case DT_LNK:
        case DT_UNKNOWN:
            break;
        default:
            return EntryKind::Other;
    }
    struct stat st;
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::Other;
    if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
    if (S_ISREG(st.st_mode)) return EntryKind::File;
    if (!S_ISLNK(st.st_mode)) return EntryKind::Other;
    if (::fstatat(dirFd, entry->d_name, &st, 0) != 0) return EntryKind::Other;  // dangling
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

// Lists dir (ending in the separator) in the order the file system gives,
// calling visit for each entry but "." and "..", and tick after each. A folder
// that cannot be opened lists nothing.
template <typename Visit>
void ListFolder(const std::string& dir, const WalkTick& tick, Visit&& visit) {
    DIR* handle = ::opendir(dir.c_str());
    if (handle == nullptr) return;
    const int fd = ::dirfd(handle);
    while (const struct dirent* entry = ::readdir(handle)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) {
            visit(std::string(name), KindOf(fd, entry));
        }
        if (tick) tick();
    }
    ::closedir(handle);
}

// depth < 0 with unlimited set walks every level.
void Walk(SourceList& list, const std::string& dir, int depth, bool unlimited,
          const WalkTick& tick) {
    if (!unlimited && depth < 0) return;
    // One listing serves both passes: files are gathered and added once the
    // folder has been read, sub-folders are remembered in listing order.
    std::vector<std::string> files;
    std::vector<std::string> folders;
    ListFolder(dir, tick, [&](std::string name, EntryKind kind) {
        if (kind == EntryKind::File)
            files.push_back(dir + name);
        else if (kind == EntryKind::Folder)
            folders.push_back(std::move(name));
    });
    for (const std::string& file : files) list.AddIfAbsent(file);
    if (!unlimited && depth == 0) return;
    for (const std::string& folder : folders) {
        Walk(list, dir + folder + '/', depth - 1, unlimited, tick);
    }
}

// Folder paths come with a trailing separator; one is added if a caller
// forgot it, so that names are never glued onto the folder's own name.
std::string AsFolder(const std::string& dir) {
    if (dir.empty() || dir.back() == '/') return dir;
    return dir + '/';
}

}  // namespace

void IndexDisk(SourceList& list, const std::string& dir, const WalkTick& tick) {
    Walk(list, AsFolder(dir), -1, true, tick);
}

void IndexDisk2(SourceList& list, const std::string& dir, int depth, const WalkTick& tick) {
    Walk(list, AsFolder(dir), depth, false, tick);
}

void AddFolderFiles(SourceList& list, const std::string& dir, const WalkTick& tick) {
    Walk(list, AsFolder(dir), 0, false, tick);
}

void AddSubFolders(SourceList& list, const std::string& dir, const WalkTick& tick) {
    // Hidden entries (names starting with ".") stand in for hidden and system
    // folders here; they are left out.
    const std::string base = AsFolder(dir);
    ListFolder(base, tick, [&](const std::string& name, EntryKind kind) {
        if (kind == EntryKind::Folder && name[0] != '.') list.AddIfAbsent(base + name);
    });
}

size_t HandleDroppedFiles(SourceList& list, const std::vector<std::string>& paths) {
    size_t appended = 0;
    for (const std::string& path : paths) {
        if (!RegularFileExists(path)) continue;
        list.Append(path);
        ++appended;
    }
    return appended;
}

}  // namespace zanfeld
