#pragma once

#include <string>
#include <string_view>

namespace zanfeld {

// Removes blanks and control characters (bytes up to 0x20) at both ends.
std::string TrimBlanks(std::string_view text);
// True when nothing is left after TrimBlanks.
bool IsBlank(std::string_view text);
// Maps only the bytes a..z to A..Z; every other byte stays.
std::string AsciiUpper(std::string_view text);
// Whole-string comparison ignoring ASCII letter case.
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);
// True when needle occurs in text, ignoring ASCII letter case; an empty
// needle occurs everywhere. Allocates nothing (it runs per file and keyword).
bool ContainsIgnoreAsciiCase(std::string_view text, std::string_view needle);

}  // namespace zanfeld
