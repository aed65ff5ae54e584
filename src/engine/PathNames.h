#pragma once

#include <string>
#include <string_view>

namespace zanfeld {

// The native path separator. Paths are native byte strings; target paths are
// built by plain concatenation with it.
inline constexpr char kPathSeparator = '/';

// The part after the last separator.
std::string FileNameOf(std::string_view path);
// From the last "." of the file name on, dot included; empty without one.
std::string ExtensionOf(std::string_view path);
// The same as a view into path.
std::string_view ExtensionView(std::string_view path);
// The file name without its extension (".profile" gives "").
std::string BaseNameOf(std::string_view path);
// The same as a view into path.
std::string_view BaseNameView(std::string_view path);
// The path with a separator appended unless it already ends in one.
std::string WithTrailingSeparator(std::string_view path);
// Whether a folder name relative to a root stays inside that root: no ".."
// part climbs above it.
bool StaysInside(std::string_view relativeFolder);

}  // namespace zanfeld
