#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "FileOps.h"

namespace zanfeld {

// What a directory entry is, looked at without following a symlink.
enum class EntryKind { Missing, File, Folder, Symlink, Other };

EntryKind EntryKindOf(const std::string& path);

// Which folder a path leads to (symlinks followed), so that one folder can be
// recognised under any of its names.
struct FolderId {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FolderId&) const = default;
};

std::optional<FolderId> FolderIdOf(const std::string& path);

// The text a symlink holds. Returns 0 or an errno value.
int ReadLinkText(const std::string& path, std::string& text);

// Creates a symlink holding text at path. Keep fails with EEXIST when the name
// is taken; Replace swaps a file or link under the name for the new link in
// one step, and never replaces a folder.
int MakeSymlink(const std::string& text, const std::string& path, Publish publish);

// The last-write time of the entry itself (a symlink's own time).
std::optional<FileTime> EntryTimeOf(const std::string& path);

}  // namespace zanfeld
