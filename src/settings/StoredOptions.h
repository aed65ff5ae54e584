#pragma once

#include "SettingsFile.h"
#include "SortTypes.h"

namespace zanfeld {

// The options a window runs with when it was started with these settings
// and nothing was touched since: the stored choices on their controls, and
// the design values of what the file does not keep (copy rather than move,
// no type filter, no character range, every picture type checked).
SortOptions FileWindowOptions(const FileWindowSettings& settings);
SortOptions FolderWindowOptions(const FolderWindowSettings& settings);

// The stored choices that give back options through the two above (what the
// sections do not keep is left out).
FileWindowSettings FileWindowSettingsOf(const SortOptions& options);
FolderWindowSettings FolderWindowSettingsOf(const SortOptions& options);

}  // namespace zanfeld
