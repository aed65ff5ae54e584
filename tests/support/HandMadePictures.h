#pragma once

// Pictures built byte by byte, for tests and fuzz targets: PNG chunk pieces
// and BMP files. Header only and free of other test support (and of Qt), so
// that the fuzz targets and the engine's tests can use it too.

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

// A 24-bit BMP of width x height. pixels false leaves the pixel rows out, so
// the header claims more than the file holds; topDown stores the height
// negated, as a bitmap whose rows run from the top down (screen captures).
inline std::string BmpBytes(int32_t width, int32_t height, bool pixels = true,
                            bool topDown = false) {
    const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t whole = row * static_cast<uint32_t>(height);
    const uint32_t imageSize = pixels ? whole : 0;
    std::string out = "BM";
    auto u16 = [&](uint32_t v) {
        out += static_cast<char>(v & 0xff);
        out += static_cast<char>((v >> 8) & 0xff);
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xffff);
        u16(v >> 16);
    };
    u32(54 + whole);  // what a whole file would take
    u32(0);
    u32(54);
    u32(40);
    u32(static_cast<uint32_t>(width));
    u32(static_cast<uint32_t>(topDown ? -height : height));
    u16(1);
    u16(24);
    u32(0);
    u32(imageSize);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    if (pixels) out += std::string(imageSize, '\x40');
    return out;
}

}  // namespace zanfeld::test
