#pragma once

// Pictures for the picture size tests. Header only, because it needs QtGui:
// a test that includes it links Qt6::Gui.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <stdexcept>
#include <string>

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

// A GIF89a of one frame, built byte by byte (Qt reads GIF but does not write
// it). The image data restarts the code table before every pixel, so every
// code keeps 3 bits.
inline std::string GifBytes(int width, int height) {
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
    out += ';';
    return out;
}

}  // namespace zanfeld::test
