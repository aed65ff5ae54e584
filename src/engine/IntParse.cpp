#include "IntParse.h"

#include <limits>

namespace zanfeld {

namespace {

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Parses into a magnitude that may reach limit (the largest magnitude allowed
// for the sign); returns nothing on bad input or overflow.
std::optional<int64_t> ParseBounded(std::string_view text, uint64_t positiveLimit) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;
    const uint64_t limit = negative ? positiveLimit + 1 : positiveLimit;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i], base);
        if (d < 0) return std::nullopt;
        if (value > (limit - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base))
            return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (negative) {
        // -limit fits because limit is at most 2^63.
        return value == 0 ? 0 : -static_cast<int64_t>(value - 1) - 1;
    }
    return static_cast<int64_t>(value);
}

}  // namespace

std::optional<int32_t> ParseInt32(std::string_view text) {
    auto v = ParseBounded(text, static_cast<uint64_t>(std::numeric_limits<int32_t>::max()));
    if (!v) return std::nullopt;
    return static_cast<int32_t>(*v);
}

std::optional<int64_t> ParseInt64(std::string_view text) {
    return ParseBounded(text, static_cast<uint64_t>(std::numeric_limits<int64_t>::max()));
}

}  // namespace zanfeld
