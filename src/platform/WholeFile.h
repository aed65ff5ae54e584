#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zanfeld {

// Reads a whole file (not a folder) into out. With stopAtNul, reading ends at
// the first NUL byte, which is not kept. Returns 0 or an errno value: EISDIR
// for a folder, EFBIG when the file holds more than limit bytes. out is only
// filled on success.
int ReadWholeFile(const std::string& path, std::string& out, size_t limit = SIZE_MAX,
                  bool stopAtNul = false);

// Replaces the file at path with data. The data goes into a new file beside
// it, is flushed, and only then renamed over path, so path holds either the
// old or the new contents, never a half-written file. A symlink at path is
// followed: the file it points to is replaced. An existing file keeps its
// permission bits. Returns 0 or an errno value; on failure the file at path is
// as it was and no temporary file is left behind.
int ReplaceFileContents(const std::string& path, std::string_view data);

}  // namespace zanfeld
