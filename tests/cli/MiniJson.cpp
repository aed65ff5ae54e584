#include "MiniJson.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <stdexcept>

namespace zanfeld::test {

class JsonReader {
  public:
    explicit JsonReader(std::string_view text) : m_text(text) {}

    Json document() {
        Json value = read(0);
        blanks();
        if (m_pos != m_text.size()) fail("text after the value");
        return value;
    }

  private:
    // Deep enough for the program's output, shallow enough for the stack.
    static constexpr int kMaxDepth = 64;

    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(m_pos));
    }

    void blanks() { m_pos = std::min(m_text.find_first_not_of(" \t\n\r", m_pos), m_text.size()); }

    bool take(char c) {
        blanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expect(char c) {
        if (!take(c)) fail(std::string("expected '") + c + "'");
    }

    void word(std::string_view w) {
        if (m_text.substr(m_pos, w.size()) != w) fail("unknown word");
        m_pos += w.size();
    }

    Json read(int depth) {
        if (depth > kMaxDepth) fail("too deep");
        blanks();
        if (m_pos >= m_text.size()) fail("unexpected end");
        Json value;
        const char c = m_text[m_pos];
        if (c == '{') {
            ++m_pos;
            value.m_type = Json::Type::Object;
            if (take('}')) return value;
            do {
                blanks();
                if (m_pos >= m_text.size() || m_text[m_pos] != '"') fail("expected a key");
                std::string key = string();
                expect(':');
                value.m_members.emplace_back(std::move(key), read(depth + 1));
            } while (take(','));
            expect('}');
        } else if (c == '[') {
            ++m_pos;
            value.m_type = Json::Type::Array;
            if (take(']')) return value;
            do {
                value.m_items.push_back(read(depth + 1));
            } while (take(','));
            expect(']');
        } else if (c == '"') {
            value.m_type = Json::Type::String;
            value.m_text = string();
        } else if (c == 't') {
            word("true");
            value.m_type = Json::Type::Bool;
            value.m_bool = true;
        } else if (c == 'f') {
            word("false");
            value.m_type = Json::Type::Bool;
        } else if (c == 'n') {
            word("null");
        } else {
            value.m_type = Json::Type::Number;
            value.m_text = number();
        }
        return value;
    }

    std::string number() {
        const size_t start = m_pos;
        const auto digits = [&] {
            const size_t from = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') ++m_pos;
            return m_pos - from;
        };
        if (m_pos < m_text.size() && m_text[m_pos] == '-') ++m_pos;
        const size_t first = m_pos;
        const size_t whole = digits();
        if (whole == 0 || (whole > 1 && m_text[first] == '0')) fail("bad number");
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            if (digits() == 0) fail("bad fraction");
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) ++m_pos;
            if (digits() == 0) fail("bad exponent");
        }
        return std::string(m_text.substr(start, m_pos - start));
    }

    uint32_t hex4() {
        uint32_t value = 0;
        const char* start = m_text.data() + m_pos;
        if (m_pos + 4 > m_text.size() ||
            std::from_chars(start, start + 4, value, 16).ptr != start + 4)
            fail("bad \\u escape");
        m_pos += 4;
        return value;
    }

    static void utf8(std::string& out, uint32_t point) {
        static constexpr unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
        const int extra = point < 0x80 ? 0 : point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
        out += static_cast<char>(kLead[extra] | (point >> (6 * extra)));
        for (int k = extra - 1; k >= 0; --k)
            out += static_cast<char>(0x80 | ((point >> (6 * k)) & 0x3F));
    }

    // The length of the valid UTF-8 sequence at m_pos, or 0.
    size_t utf8Length() const {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(m_text[k]); };
        const unsigned char c = byte(m_pos);
        const size_t length = c >= 0xC2 && c <= 0xDF   ? 2
                              : c >= 0xE0 && c <= 0xEF ? 3
                              : c >= 0xF0 && c <= 0xF4 ? 4
                                                       : 0;
        if (length == 0 || m_pos + length > m_text.size()) return 0;
        uint32_t point = c & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            if ((byte(m_pos + k) & 0xC0) != 0x80) return 0;
            point = point << 6 | (byte(m_pos + k) & 0x3F);
        }
        // Overlong forms, points beyond Unicode and encoded surrogates.
        if ((length == 3 && point < 0x800) ||
            (length == 4 && (point < 0x10000 || point > 0x10FFFF)) ||
            (point >= 0xD800 && point <= 0xDFFF))
            return 0;
        return length;
    }

    std::string string() {
        ++m_pos;  // the opening quote
        std::string out;
        for (;;) {
            if (m_pos >= m_text.size()) fail("unterminated string");
            const auto c = static_cast<unsigned char>(m_text[m_pos]);
            if (c == '"') {
                ++m_pos;
                return out;
            }
            if (c < 0x20) fail("raw control character in a string");
            if (c >= 0x80) {
                const size_t length = utf8Length();
                if (length == 0) fail("byte outside valid UTF-8 in a string");
                out.append(m_text.substr(m_pos, length));
                m_pos += length;
                continue;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                ++m_pos;
                continue;
            }
            if (++m_pos >= m_text.size()) fail("unterminated escape");
            const char e = m_text[m_pos++];
            static constexpr std::string_view kEscaped = "\"\\/bfnrt", kMeant = "\"\\/\b\f\n\r\t";
            if (const size_t k = kEscaped.find(e); k != std::string_view::npos) {
                out += kMeant[k];
                continue;
            }
            if (e != 'u') fail("unknown escape");
            const uint32_t unit = hex4();
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                // A high surrogate must be followed by a low one.
                if (m_text.substr(m_pos, 2) != "\\u") fail("lone high surrogate");
                m_pos += 2;
                const uint32_t low = hex4();
                if (low < 0xDC00 || low > 0xDFFF) fail("high surrogate without low");
                utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            } else if (unit >= 0xDC80 && unit <= 0xDCFF) {
                out += static_cast<char>(unit - 0xDC00);  // a raw byte
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                fail("lone low surrogate that stands for no byte");
            } else {
                utf8(out, unit);
            }
        }
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

Json Json::parse(std::string_view text) { return JsonReader(text).document(); }

namespace {

[[noreturn]] void Wrong(const char* what) {
    throw std::runtime_error(std::string("JSON: the value is not ") + what);
}

}  // namespace

bool Json::boolean() const {
    if (m_type != Type::Bool) Wrong("a boolean");
    return m_bool;
}

int64_t Json::integer() const {
    if (m_type != Type::Number || m_text.find_first_of(".eE") != std::string::npos)
        Wrong("an integer");
    return std::strtoll(m_text.c_str(), nullptr, 10);
}

const std::string& Json::string() const {
    if (m_type != Type::String) Wrong("a string");
    return m_text;
}

const std::vector<Json>& Json::array() const {
    if (m_type != Type::Array) Wrong("an array");
    return m_items;
}

const std::vector<std::pair<std::string, Json>>& Json::members() const {
    if (m_type != Type::Object) Wrong("an object");
    return m_members;
}

const Json& Json::operator[](const std::string& key) const {
    for (const auto& [name, value] : members())
        if (name == key) return value;
    throw std::runtime_error("JSON: no member \"" + key + "\"");
}

const Json& Json::operator[](size_t index) const {
    if (index >= array().size()) throw std::runtime_error("JSON: no item " + std::to_string(index));
    return m_items[index];
}

size_t Json::size() const {
    if (m_type == Type::Object) return m_members.size();
    return array().size();
}

}  // namespace zanfeld::test
