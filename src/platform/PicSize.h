#pragma once

#include <cstdint>
#include <string>

#include "PicDimension.h"

namespace zanfeld {

// The stored width or height of the picture in the file, in pixels, or 0 when
// the file is no readable picture. The format is recognised from the content;
// only the header is read, and the file is closed before returning.
uint32_t GetPicSize(const std::string& path, PicDimension dimension);

}  // namespace zanfeld
