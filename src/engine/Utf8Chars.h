#pragma once

#include <cstddef>
#include <string_view>

namespace zanfeld {

// One character of a UTF-8 name as the name rules count it.
struct Utf8Char {
    size_t bytes = 1;    // length of its byte sequence
    int utf16Units = 1;  // 2 for a character outside the BMP, else 1
};

// The character that starts at byte pos (< text.size()). A byte that does not
// begin a valid UTF-8 sequence (stray continuation byte, truncated, overlong,
// surrogate or beyond U+10FFFF) is a character of its own, one unit wide.
Utf8Char Utf8CharAt(std::string_view text, size_t pos);

}  // namespace zanfeld
