#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "LocalTime.h"

namespace zanfeld {

// True for a real calendar day and time of day from 1900 on, and no later
// than a day from now: cameras with an unset clock write zeros or dates
// such as the 30th of February, and those are no dates at all.
bool IsPlausibleTakenTime(const LocalDateTime& t);

// The machine's local time of a UTC instant in seconds since 1970.
LocalDateTime LocalTimeOfUtc(int64_t secondsSince1970);

// An EXIF date "2024:05:06 12:34:56", as written (the camera's own clock; a
// zone stored elsewhere is not applied). Nothing for blanks, zeros or an
// impossible date.
std::optional<LocalDateTime> ParseExifDateTime(std::string_view text);

// An XMP date "2024-05-06T12:34:56+08:00", "2024-05-06T12:34" or
// "2024-05-06", as written; a zone designator is not applied, as with EXIF.
// A year or a month alone is no day, so nothing.
std::optional<LocalDateTime> ParseXmpDateTime(std::string_view text);

}  // namespace zanfeld
