#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "SourceList.h"

namespace zanfeld {

enum class ListKind { Files, Folders };

struct ListFileResult {
    bool ok = true;
    std::string error;  // "Cannot create file "%s". %s" / "Cannot open file "%s". %s"
    size_t count = 0;   // entries written, or entries added by an import
    size_t skipped = 0; // export: entries left out because they hold a line break
};

// Writes every entry followed by CR LF into a temporary file beside path and
// renames it into place. Entries holding CR or LF are left out and counted.
ListFileResult ExportListFile(const std::string& path, const std::vector<std::string>& entries);

// Reads path, splits it into lines and adds through AddIfAbsent each line that
// names an existing file (Files) or folder (Folders).
ListFileResult ImportListFile(const std::string& path, SourceList& list, ListKind kind);

// CR LF, lone CR and lone LF end a line; reading stops at the first NUL;
// empty lines are dropped.
std::vector<std::string> SplitListLines(std::string_view data);

}  // namespace zanfeld
