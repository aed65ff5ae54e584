#include "TextUtil.h"

namespace zanfeld {

namespace {
bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 0x20; }
char UpperByte(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string TrimBlanks(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlankByte(text[begin])) ++begin;
    while (end > begin && IsBlankByte(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

bool IsBlank(std::string_view text) {
    for (char c : text)
        if (!IsBlankByte(c)) return false;
    return true;
}

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperByte(c);
    return out;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperByte(a[i]) != UpperByte(b[i])) return false;
    return true;
}

bool ContainsIgnoreAsciiCase(std::string_view text, std::string_view needle) {
    if (needle.size() > text.size()) return false;
    const size_t last = text.size() - needle.size();
    for (size_t at = 0; at <= last; ++at) {
        size_t i = 0;
        while (i < needle.size() && UpperByte(text[at + i]) == UpperByte(needle[i])) ++i;
        if (i == needle.size()) return true;
    }
    return false;
}

}  // namespace zanfeld
