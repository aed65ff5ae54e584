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

// A PNG chunk with its CRC.
inline std::string PngChunk(const std::string& type, const std::string& data) {
    return BigEndian32(static_cast<uint32_t>(data.size())) + type + data +
           BigEndian32(Crc32(type + data));
}

// A GIF89a of frames of width x height, built byte by byte (Qt reads GIF but
// does not write it). The image data restarts the code table before every
// pixel, so every code keeps 3 bits.
inline std::string GifBytes(int width, int height, int frames = 1) {
    std::string out = "GIF89a";
    const auto u16 = [&](int v) {
        out += static_cast<char>(v & 0xff);
        out += static_cast<char>((v >> 8) & 0xff);
    };
    u16(width);
    u16(height);
    out += '\x81';  // global colour table of 4 entries
    out += '\0';
    out += '\0';
    out += std::string("\x00\x00\x00\xff\xff\xff\xff\x00\x00\x00\x00\xff", 12);
    const size_t frameStart = out.size();
    out += ',';  // image descriptor
    u16(0);
    u16(0);
    u16(width);
    u16(height);
    out += '\0';
    out += '\x02';  // minimum code size

    std::string data;
    unsigned bits = 0;
    int count = 0;
    const auto put = [&](unsigned code) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            data += static_cast<char>(bits & 0xff);
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < width * height; ++i) {
        put(4);  // clear
        put(static_cast<unsigned>(i % 2));
    }
    put(5);  // end of information
    if (count > 0) data += static_cast<char>(bits & 0xff);
    for (size_t i = 0; i < data.size(); i += 255) {
        const std::string block = data.substr(i, 255);
        out += static_cast<char>(block.size());
        out += block;
    }
    out += '\0';
    const std::string frame = out.substr(frameStart);
    for (int i = 1; i < frames; ++i) out += frame;
    out += ';';
    return out;
}

}  // namespace zanfeld::test
