#pragma once

#include <optional>
#include <string_view>

#include "LocalTime.h"

namespace zanfeld {

// The moment a file name written by a phone, a camera or a messenger
// records, from the start of the name:
//   IMG_20240506_123456, VID_…, PXL_…, WP_20240506_… (the time when it
//   follows), Screenshot_2024-05-06-12-34-56, Screenshot_20240506-123456,
//   Screenshot 2024-05-06 at 12.34.56 (AM/PM too), 微信图片_20240506123456,
//   mmexport1715000000000 (milliseconds since 1970, in local time),
//   2024-05-06 12.34.56, and IMG-20240506-WA0001 / VID-… (a day only).
// Nothing for other names, or a day that is no real one or lies before 1900
// or more than a day ahead.
std::optional<LocalDateTime> DateFromName(std::string_view name);

}  // namespace zanfeld
