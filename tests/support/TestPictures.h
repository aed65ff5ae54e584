#pragma once

// Pictures for the picture size tests. Header only, because it needs QtGui:
// a test that includes it links Qt6::Gui.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "HandMadePictures.h"
#include "TempDir.h"

namespace zanfeld::test {

// The bytes of a width x height picture in a Qt format ("png", "jpg", "bmp", "tif").
inline std::string PictureBytes(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(0xff336699);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        throw std::runtime_error(std::string("cannot write a picture as ") + format);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// Written through the native byte path, so any name works.
inline void WritePicture(const std::string& path, int width, int height, const char* format) {
    WriteFile(path, PictureBytes(width, height, format));
}

// A JPEG marker segment: 0xFF, the marker, the length, the body.
inline std::string JpegSegment(unsigned char marker, const std::string& body) {
    if (body.size() > 65533) throw std::invalid_argument("a JPEG segment holds 65533 bytes");
    const size_t length = body.size() + 2;
    std::string out = "\xFF";
    out += static_cast<char>(marker);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(length & 0xff);
    return out + body;
}

// jpeg with segments put in right after its start marker (SOI).
inline std::string AfterSoi(const std::string& jpeg, const std::string& segments) {
    return jpeg.substr(0, 2) + segments + jpeg.substr(2);
}

// png with chunks put in right after its header chunk (IHDR, which Qt's
// writer puts first: 8 bytes of signature, 25 of IHDR).
inline std::string AfterIhdr(const std::string& png, const std::string& chunks) {
    return png.substr(0, 33) + chunks + png.substr(33);
}

// An uncompressed 8-bit grey little-endian TIFF of one strip whose directory
// comes after the pixels, at the end of the file.
inline std::string TiffWithDirectoryAtEnd(uint32_t width, uint32_t height) {
    const auto u16 = [](uint32_t v) {
        return std::string{static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)};
    };
    const auto u32 = [&](uint32_t v) { return u16(v & 0xffff) + u16(v >> 16); };
    const uint32_t pixels = width * height;
    const uint32_t directory = 8 + pixels;
    std::string out = "II*";
    out += '\0';
    out += u32(directory);
    out += std::string(pixels, '\x80');
    const auto entry = [&](uint32_t tag, uint32_t type, uint32_t value) {
        out += u16(tag) + u16(type) + u32(1) + (type == 3 ? u16(value) + u16(0) : u32(value));
    };
    out += u16(9);
    entry(256, 4, width);   // ImageWidth
    entry(257, 4, height);  // ImageLength
    entry(258, 3, 8);       // BitsPerSample
    entry(259, 3, 1);       // no compression
    entry(262, 3, 1);       // black is zero
    entry(273, 4, 8);       // StripOffsets
    entry(277, 3, 1);       // SamplesPerPixel
    entry(278, 4, height);  // RowsPerStrip
    entry(279, 4, pixels);  // StripByteCounts
    out += u32(0);          // no next directory
    return out;
}

}  // namespace zanfeld::test
