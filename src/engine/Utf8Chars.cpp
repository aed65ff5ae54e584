#include "Utf8Chars.h"

namespace zanfeld {

namespace {
bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }
}  // namespace

Utf8Char Utf8CharAt(std::string_view text, size_t pos) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const size_t left = text.size() - pos;
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {1, 1};

    size_t length = 0;
    unsigned char min2 = 0x80;  // bounds of the second byte, which rule out
    unsigned char max2 = 0xBF;  // overlongs, surrogates and values past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) min2 = 0xA0;
        if (lead == 0xED) max2 = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) min2 = 0x90;
        if (lead == 0xF4) max2 = 0x8F;
    } else {
        return {1, 1};
    }
    if (left < length) return {1, 1};
    if (byte(1) < min2 || byte(1) > max2) return {1, 1};
    for (size_t i = 2; i < length; ++i)
        if (!IsContinuation(byte(i))) return {1, 1};
    return {length, length == 4 ? 2 : 1};
}

}  // namespace zanfeld
