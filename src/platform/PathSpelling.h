#pragma once

#include <string>

namespace zanfeld {

// One spelling for each place, so that a file named as "a/x", "./a/x",
// "a//x" or "b/../a/x" is listed once and recorded under the name a person
// recognises. Only folders are resolved (links, ".", ".." and doubled
// separators); the last name stays as it was given, so that a link named
// there is still that link. An absolute path whose folder cannot be
// resolved comes back unchanged.

// path's folder resolved, then its last name.
std::string ResolvedParent(const std::string& path);
// The folder path itself resolved.
std::string ResolvedFolder(const std::string& path);

}  // namespace zanfeld
