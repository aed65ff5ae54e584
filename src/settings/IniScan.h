#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zanfeld {

// Why a line of a settings file would not come through a load and save by
// SimpleIni: it stops at a NUL byte, passes over lines that are no entry,
// section or comment, drops text after a section's "]", and takes the rest of
// the file into the name of a section that is never closed.
enum class IniLineFault { None, Nul, NoEquals, EmptyKey, UnclosedSection, TextAfterSection };

// The settings file read line by line, apart from SimpleIni and the way it
// matches names (ASCII letter case folded, blanks around names and values
// dropped), so that a save can tell beforehand what SimpleIni would lose and
// check afterwards that it lost nothing.
class IniScan {
  public:
    // A section and a key, folded.
    using Key = std::pair<std::string, std::string>;

    // A comment line (leading blanks left out) and the entry it stands
    // before: a key line, or a section line or the end (beforeKey false).
    struct Comment {
        std::string text;
        Key before;
        bool beforeKey = false;
    };

    // text without a UTF-8 byte order mark.
    explicit IniScan(std::string_view text);

    // The first line that would not come through, 1-based; 0 when all do.
    size_t faultLine() const { return m_faultLine; }
    IniLineFault fault() const { return m_fault; }

    // Named sections, folded. Keys before any section belong to "".
    const std::set<std::string>& sections() const { return m_sections; }
    // Every value of each key in file order (a key may be given more than once).
    const std::map<Key, std::vector<std::string>>& values() const { return m_values; }
    const std::vector<Comment>& comments() const { return m_comments; }

    static std::string Fold(std::string_view name);

  private:
    void noteFault(size_t line, IniLineFault fault);

    size_t m_faultLine = 0;
    IniLineFault m_fault = IniLineFault::None;
    std::set<std::string> m_sections;
    std::map<Key, std::vector<std::string>> m_values;
    std::vector<Comment> m_comments;
};

}  // namespace zanfeld
