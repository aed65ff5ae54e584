#pragma once

#include <cstdint>
#include <string>

#include "PicDimension.h"

namespace zanfeld {

// The stored width or height of the picture in the file, in pixels, or 0 when
// the file is no readable picture. The format is recognised from the content.
// Only a regular file is opened (links followed; never a device, FIFO or
// socket), only its header is read, and never more than PictureFile's read
// budget of it, so a picture whose size lies beyond that gives 0. The file is
// closed before returning.
uint32_t GetPicSize(const std::string& path, PicDimension dimension);

}  // namespace zanfeld
