#pragma once

// Bytes of PNG chunks, for tests and fuzz targets that build pictures by
// hand. Header only and free of other test support, so that the fuzz targets
// can use it too.

#include <cstdint>
#include <string>
#include <string_view>

namespace zanfeld::test {

// The CRC-32 a PNG chunk carries over its type and data.
inline uint32_t Crc32(std::string_view bytes) {
    uint32_t crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline std::string BigEndian32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

}  // namespace zanfeld::test
