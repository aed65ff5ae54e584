#include <cstdint>
#include <string>

#include "UnitPublic.h"
#include "Utf8Chars.h"

namespace zanfeld {

std::string CopyChars(const std::string& text, int32_t start, int32_t count) {
    if (count <= 0) return {};
    // Positions counted in UTF-16 code units, 1-based; the range is
    // [first, last]. 64-bit so that start + count cannot overflow.
    const int64_t first = start < 1 ? 1 : start;
    const int64_t last = first + count - 1;

    std::string out;
    int64_t unit = 1;  // position of the character's first code unit
    for (size_t pos = 0; pos < text.size() && unit <= last;) {
        const Utf8Char c = Utf8CharAt(text, pos);
        // A character is taken only whole: a range boundary inside a
        // surrogate pair leaves that character out.
        if (unit >= first && unit + c.utf16Units - 1 <= last) out.append(text, pos, c.bytes);
        unit += c.utf16Units;
        pos += c.bytes;
    }
    return out;
}

}  // namespace zanfeld
