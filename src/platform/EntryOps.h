#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "FileId.h"
#include "FileOps.h"
#include "TargetFolder.h"

namespace zanfeld {

// What a directory entry is, looked at without following a symlink.
enum class EntryKind { Missing, File, Folder, Symlink, Other };

EntryKind EntryKindOf(const std::string& path);
EntryKind EntryKindIn(const TargetFolder& folder, const std::string& name);

// Which folder a path leads to (symlinks followed), so that one folder can be
// recognised under any of its names.
using FolderId = FileId;

std::optional<FolderId> FolderIdOf(const std::string& path);

// The text a symlink holds. Returns 0 or an errno value.
int ReadLinkText(const std::string& path, std::string& text);
int ReadLinkTextIn(const TargetFolder& folder, const std::string& name, std::string& text);

// Creates a symlink holding text at path. Keep fails with EEXIST when the name
// is taken; Replace swaps a file or link under the name for the new link in
// one step (handing it to the replaced-file keeper in force, as a replaced
// file is), and never replaces a folder. replaced, when given, is set when
// an entry under the name was replaced.
int MakeSymlinkIn(const std::string& text, const TargetFolder& folder, const std::string& name,
                  Publish publish, bool* replaced = nullptr);

// The last-write time of the entry itself (a symlink's own time).
std::optional<FileTime> EntryTimeOf(const std::string& path);
std::optional<FileTime> EntryTimeIn(const TargetFolder& folder, const std::string& name);

}  // namespace zanfeld
