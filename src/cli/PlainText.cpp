#include "PlainText.h"

namespace zanfeld {

namespace {

void Hex(std::string& out, unsigned char c) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

bool Control(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

std::string PlainText::field(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (Control(c)) {
            Hex(out, c);
        } else {
            out += ch;
        }
    }
    return out;
}

std::string PlainText::message(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c != '\n' && Control(c)) {
            Hex(out, c);
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace zanfeld
