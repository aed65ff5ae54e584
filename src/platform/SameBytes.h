#pragma once

#include <string>

#include "SourceFile.h"

namespace zanfeld {

class TargetFolder;

// Whether file and the entry name in folder are two regular files holding
// the same bytes: sizes first, then the contents chunk by chunk, stopping at
// the first difference. Links are not followed at either end, and only what
// a look finds to be a regular file is opened, so a device, pipe or socket
// is never opened. A link, a folder, anything else, or a file that cannot be
// read to its end counts as different: the caller's safe answer is then to
// keep both files.
bool SameBytesIn(const SourceFile& file, const TargetFolder& folder, const std::string& name);
// The same for two paths (the preview, which holds no folder open).
bool SameBytes(const std::string& a, const std::string& b);

}  // namespace zanfeld
