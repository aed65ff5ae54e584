#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SourceList.h"

namespace zanfeld {

enum class ListKind { Files, Folders };

// An import takes list files up to this size and this many entries; a larger
// one is refused before anything is added, so that a stray huge file cannot
// take all memory.
inline constexpr uint64_t kMaxListFileBytes = uint64_t{64} << 20;
inline constexpr size_t kMaxListFileLines = 1000000;

struct ListFileResult {
    bool ok = true;
    // "Cannot create file "%s". %s" / "Cannot open file "%s". %s" with the
    // system's text, or a sentence of its own for a refused list file.
    std::string error;
    size_t count = 0;    // entries written, or entries added by an import
    size_t skipped = 0;  // export: entries left out because they hold a line break
};

// Writes every entry followed by CR LF into a temporary file beside path and
// renames it into place. Entries holding CR or LF are left out and counted.
// Only a regular file (or a missing name) is replaced, also at the end of a
// link; a device, pipe or socket is refused and left as it is.
ListFileResult ExportListFile(const std::string& path, const std::vector<std::string>& entries);

// Reads path, splits it into lines and adds through AddIfAbsent each line that
// names a regular file (Files; a link to one counts) or a folder (Folders).
// The list file itself must be a regular file; a device, pipe or socket is
// never opened. A list over kMaxListFileBytes or kMaxListFileLines is refused
// and adds nothing.
ListFileResult ImportListFile(const std::string& path, SourceList& list, ListKind kind);

// CR LF, lone CR and lone LF end a line; reading stops at the first NUL;
// empty lines are dropped.
std::vector<std::string> SplitListLines(std::string_view data);

}  // namespace zanfeld
