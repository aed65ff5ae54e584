#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld {

// Keyword text split at every single space, empty entries kept:
// " a  b " gives "", "a", "", "b", "".
std::vector<std::string> SplitKeywords(std::string_view keywordText);

// Whether keyword occurs in name, both upper-cased in ASCII, byte by byte.
// A keyword that is blank after trimming never matches.
bool KeywordMatches(std::string_view keyword, std::string_view name);

// Removes the "*"-separated pieces of filter from name, each piece in turn on
// the result of the one before, every non-overlapping occurrence from the
// left, case-sensitive, only where an occurrence starts on a character boundary.
std::string RemoveFilterPieces(std::string name, std::string_view filter);

// The parsed character range of the name rules; both 0 when not used.
struct NameRange {
    int32_t begin = 0;
    int32_t end = 0;
};

// Checks and orders the range when options.useNamePart is on (rejecting with
// "请输入整数序号!" on PartBegin or PartEnd); leaves range at 0/0 otherwise.
bool PrepareNameRange(const SortOptions& options, SortHost& host, NameRange& range);

// The target name derived from a name: the character range (when
// options.useNamePart is on), then the filter pieces removed.
std::string DeriveTargetName(const std::string& name, const SortOptions& options,
                             const NameRange& range);

}  // namespace zanfeld
