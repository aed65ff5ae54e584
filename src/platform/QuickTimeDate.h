#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace zanfeld {

// Reads count bytes at offset into buffer; false when they are not all there.
using ReadBytesAt = std::function<bool(int64_t offset, void* buffer, size_t count)>;

// The creation time a QuickTime or MP4 movie header (moov/mvhd) records, in
// seconds since 1970 UTC, from a file of size bytes. Only box headers are
// read: a few hundred boxes at most, four levels deep, so a file of any size
// or shape costs a few kilobytes. Nothing when there is no movie header or it
// records 0 (no date).
std::optional<int64_t> QuickTimeCreationTime(const ReadBytesAt& read, int64_t size);

// Whether the first bytes (at least 12) look like a QuickTime or MP4 movie
// rather than a picture in the same box format (HEIC, AVIF, CR3).
bool LooksLikeMovie(const unsigned char* head, size_t count);

}  // namespace zanfeld
