#include "MetadataBytes.h"

namespace zanfeld {

namespace {

uint32_t Big32(std::string_view s, size_t at) {
    auto b = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(s[at + i])); };
    return (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
}

}  // namespace

bool HasMetadataHeader(std::string_view head) {
    if (head.size() < 12) return false;
    const std::string_view four = head.substr(0, 4);
    // TIFF either way round; Olympus and Panasonic raw files use their own marks.
    return four == std::string_view("II*\0", 4) || four == std::string_view("MM\0*", 4) ||
           four == "IIRO" || four == "IIRS" || four == std::string_view("IIU\0", 4) ||
           four == "\x89PNG" || (four == "RIFF" && head.substr(8, 4) == "WEBP") ||
           head.substr(4, 4) == "ftyp";
}

int64_t JpegMetadataLength(std::string_view head, int64_t limit) {
    const auto more = [&] { return static_cast<int64_t>(head.size()) + 1; };
    if (head.size() < 2) return more();
    size_t at = 2;  // after the start-of-image marker
    while (static_cast<int64_t>(at) < limit) {
        // Fill bytes may stand before a marker.
        while (at < head.size() && static_cast<unsigned char>(head[at]) == 0xFF &&
               at + 1 < head.size() && static_cast<unsigned char>(head[at + 1]) == 0xFF)
            ++at;
        if (at + 4 > head.size()) return more();
        if (static_cast<unsigned char>(head[at]) != 0xFF) return static_cast<int64_t>(at);
        const unsigned char marker = static_cast<unsigned char>(head[at + 1]);
        // Markers without a length: nothing after them is metadata.
        if (marker == 0xD9 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            return static_cast<int64_t>(at + 2);
        const size_t length = (static_cast<size_t>(static_cast<unsigned char>(head[at + 2])) << 8) |
                              static_cast<unsigned char>(head[at + 3]);
        at += 2 + length;
        if (marker == 0xDA) return static_cast<int64_t>(at);  // start of scan
    }
    return limit;
}

std::string PngMetadataOnly(std::string_view png) {
    static constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
    static constexpr std::string_view kXmpKeyword("XML:com.adobe.xmp\0", 18);
    if (png.substr(0, 8) != kSignature) return {};
    std::string out(kSignature);
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = Big32(png, at);
        if (length > png.size() - at - 12) break;
        const std::string_view type = png.substr(at + 4, 4);
        const std::string_view data = png.substr(at + 8, length);
        // iTXt: keyword, NUL, compression flag, method, language, NUL, ...
        const bool plainXmp = type == "iTXt" && data.substr(0, kXmpKeyword.size()) == kXmpKeyword &&
                              data.size() > kXmpKeyword.size() && data[kXmpKeyword.size()] == 0;
        if (type == "IHDR" || type == "eXIf" || type == "exIf" || plainXmp)
            out.append(png.substr(at, 12 + static_cast<size_t>(length)));
        if (type == "IEND") break;
        at += 12 + static_cast<size_t>(length);
    }
    out.append("\0\0\0\0IEND\xae\x42\x60\x82", 12);
    return out;
}

void LimitMarkup(std::string& bytes, size_t mostMarkup, size_t longestText) {
    size_t seen = 0;
    size_t textStart = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        const unsigned char c = i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
        const bool text = c >= 0x20 || c == '\t' || c == '\n' || c == '\r';
        if (!text) {
            if (i - textStart > longestText)
                bytes.replace(textStart, i - textStart, i - textStart, '\0');
            textStart = i + 1;
        }
        if ((c == '<' || c == '=') && ++seen > mostMarkup) {
            bytes.resize(i);
            if (i - textStart > longestText) bytes.resize(textStart);
            return;
        }
    }
}

}  // namespace zanfeld
