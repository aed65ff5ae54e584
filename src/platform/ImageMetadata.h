#pragma once

#include <cstddef>
#include <optional>

#include "LocalTime.h"

namespace zanfeld {

// The taken date a picture's metadata records, read from its bytes in
// memory (JPEG, TIFF and the camera raw files built on it, PNG, WebP,
// HEIC/HEIF, AVIF, CR3): EXIF DateTimeOriginal, else DateTimeDigitized, else
// XMP exif:DateTimeOriginal, photoshop:DateCreated, xmp:CreateDate, each as
// written. Image.DateTime is left out: an editor sets it on every save.
// Nothing for any other bytes, nothing readable, or no plausible date.
// Safe to call from several threads at once.
std::optional<LocalDateTime> ImageTakenDate(const unsigned char* data, size_t size);

}  // namespace zanfeld
