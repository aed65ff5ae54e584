#include "JsonText.h"

#include <cstdio>

namespace zanfeld {

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0 when none starts there.
size_t Utf8Length(std::string_view text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    size_t length = 0;
    uint32_t point = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        point = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        point = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        point = c & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        point = point << 6 | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and points beyond Unicode are not valid.
    if ((length == 3 && point < 0x800) || (length == 4 && (point < 0x10000 || point > 0x10FFFF)) ||
        (point >= 0xD800 && point <= 0xDFFF)) {
        return 0;
    }
    return length;
}

}  // namespace

std::string JsonText::string(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    char escape[8];
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const size_t length = Utf8Length(bytes, i);
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\udc%02x", c);
            out += escape;
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(bytes.substr(i, length));
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
        i += length;
    }
    out += '"';
    return out;
}

std::string JsonText::key(std::string_view name) { return string(name) + ":"; }

std::string JsonText::refusal(std::string_view command, std::string_view message,
                              std::string_view option) {
    return "{" + key("command") + (command.empty() ? "null" : string(command)) + "," +
           key("refused") + "true," + key("message") + string(message) + "," + key("option") +
           (option.empty() ? "null" : string(option)) + "," + key("exit") + "2}\n";
}

}  // namespace zanfeld
