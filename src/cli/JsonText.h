#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zanfeld {

// Pieces of the one JSON object zanfeld-cli prints.
class JsonText {
  public:
    // bytes as a JSON string, quotes included. Valid UTF-8 stands as it is
    // (quote, backslash and control characters escaped); each byte that is
    // not part of valid UTF-8 becomes the lone surrogate \udcXX, so that a
    // path's bytes come back exactly (Python: s.encode("utf-8", "surrogateescape")).
    static std::string string(std::string_view bytes);
    // "key": as the start of a member.
    static std::string key(std::string_view name);
    // The object of a refused command line or run, with its line end;
    // option empty when none is named.
    static std::string refusal(std::string_view command, std::string_view message,
                               std::string_view option);
};

}  // namespace zanfeld
