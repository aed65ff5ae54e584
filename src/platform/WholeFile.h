#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zanfeld {

// Reads a whole regular file into out, NUL bytes included. The type is looked
// at (symlinks followed) before anything is opened, since opening some devices
// has effects of its own: a folder gives EISDIR, a device, pipe or socket
// kNotRegularFile, and neither is opened. A file larger than limit bytes gives
// EFBIG, known from its size before it is read (and again should it grow while
// read). A name swapped between the look and the open gives kSourceChanged.
// Returns 0 or one of these values or another errno value; out is only
// filled on success.
int ReadWholeFile(const std::string& path, std::string& out, size_t limit = SIZE_MAX);

// Replaces the file at path with data. The data goes into a new file beside
// it, is flushed, and only then renamed over path, so path holds either the
// old or the new contents, never a half-written file. A symlink at path is
// followed, through a chain of links, to its final target, and that file is
// replaced while the links stay links; a dangling link's target is created.
// Only a regular file or a missing name is replaced: a folder gives EISDIR, a
// device, pipe or socket kNotRegularFile, and is left untouched. An existing
// file keeps its permission bits. Returns 0 or an errno value (or one of
// those reasons); on failure the file at path is as it was and no temporary
// file is left behind.
int ReplaceFileContents(const std::string& path, std::string_view data);

}  // namespace zanfeld
