#pragma once

#include <string>
#include <string_view>

namespace zanfeld {

// Names written to a terminal or a line-based output: a file name may hold
// any byte but "/" and NUL, and its tabs, line breaks and escape sequences
// must neither break a line apart nor drive the terminal.
class PlainText {
  public:
    // One field of a tab-separated line: "\" as "\\", tab "\t", line feed
    // "\n", carriage return "\r", any other control byte "\xHH"; every other
    // byte as it stands.
    static std::string field(std::string_view bytes);
    // A message of several lines: line feeds stay, other control bytes
    // become "\xHH".
    static std::string message(std::string_view bytes);
};

}  // namespace zanfeld
