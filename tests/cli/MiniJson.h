#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zanfeld::test {

// Just enough JSON to read the program's objects back, strictly: a control
// character left raw in a string, a byte outside valid UTF-8, a lone
// surrogate other than \udc80..\udcff, or anything after the value is an
// error. Strings come back as bytes: escapes as UTF-8, and each lone
// surrogate \udcXX as the raw byte XX (Python's "surrogateescape").
class Json {
  public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    // Throws std::runtime_error naming the offset of what is wrong.
    static Json parse(std::string_view text);

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }
    // Each throws when the value is of another type.
    bool boolean() const;
    int64_t integer() const;  // a number without fraction or exponent
    const std::string& string() const;
    const std::vector<Json>& array() const;
    const std::vector<std::pair<std::string, Json>>& members() const;

    // The member of an object; throws when missing.
    const Json& operator[](const std::string& key) const;
    const Json& operator[](const char* key) const { return (*this)[std::string(key)]; }
    // The item of an array; throws when out of range.
    const Json& operator[](size_t index) const;
    const Json& operator[](int index) const { return (*this)[static_cast<size_t>(index)]; }
    size_t size() const;  // of an array or an object

  private:
    friend class JsonReader;

    Type m_type = Type::Null;
    bool m_bool = false;
    std::string m_text;  // a string's bytes, or a number as written
    std::vector<Json> m_items;
    std::vector<std::pair<std::string, Json>> m_members;
};

}  // namespace zanfeld::test
