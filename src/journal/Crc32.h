#pragma once

#include <cstddef>
#include <cstdint>

namespace zanfeld {

// CRC-32 as zlib and PNG compute it (reflected 0xEDB88320). Pass the result
// of one call as crc to go on over more bytes.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

}  // namespace zanfeld
