#include "JsonText.h"

#include <cstdio>

#include "Utf8Chars.h"

namespace zanfeld {

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0 when none starts there.
size_t Utf8Length(std::string_view text, size_t i) {
    if (static_cast<unsigned char>(text[i]) < 0x80) return 1;
    const size_t length = Utf8CharAt(text, i).bytes;
    return length > 1 ? length : 0;
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
