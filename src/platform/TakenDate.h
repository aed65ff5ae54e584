#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "LocalTime.h"

namespace zanfeld {

// When the photo or video at path was taken, by its own record: a picture's
// EXIF or XMP date as the camera wrote it (its local time), or a QuickTime or
// MP4 movie header's UTC time shown in the machine's local time. Nothing when
// the file records no plausible date, is no regular file (a link is not
// followed; a device, pipe or socket is never opened), or cannot be read.
// Reads only what holds the record, never more than kTakenReadBudget bytes.
std::optional<LocalDateTime> ReadTakenDate(const std::string& path);

inline constexpr int64_t kTakenReadBudget = int64_t{4} << 20;

}  // namespace zanfeld
