#pragma once

// Photos and videos that record when they were taken, built byte by byte for
// the tests, the fuzz seeds and the benchmark: EXIF and XMP in JPEG, PNG and
// TIFF, and MP4/QuickTime movie headers. Header only and free of Qt.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zanfeld::test {

// EXIF fields; an empty text leaves the tag out.
struct ExifDates {
    std::string original;   // DateTimeOriginal, "2024:05:06 12:34:56"
    std::string digitized;  // DateTimeDigitized
    std::string modified;   // IFD0 DateTime, an editor's last save
    std::string offset;     // OffsetTimeOriginal, "+08:00"
    size_t thumbnail = 0;   // bytes of a make-believe thumbnail, as cameras add
};

// A little-endian TIFF structure holding the dates: IFD0 (make, model,
// DateTime, a pointer to the Exif IFD) and the Exif IFD.
inline std::string ExifTiff(const ExifDates& d) {
    struct Field {
        uint16_t tag;
        uint16_t type;  // 2 ASCII, 4 LONG, 7 UNDEFINED
        std::string data;
    };
    auto ascii = [](const std::string& s) { return s + '\0'; };
    std::vector<Field> ifd0 = {{0x010F, 2, ascii("Zanfeld")}, {0x0110, 2, ascii("Test Camera")}};
    if (!d.modified.empty()) ifd0.push_back({0x0132, 2, ascii(d.modified)});
    ifd0.push_back({0x8769, 4, std::string(4, '\0')});  // filled in below
    std::vector<Field> exif = {{0x9000, 7, "0231"}};
    if (!d.original.empty()) exif.push_back({0x9003, 2, ascii(d.original)});
    if (!d.digitized.empty()) exif.push_back({0x9004, 2, ascii(d.digitized)});
    if (!d.offset.empty()) exif.push_back({0x9011, 2, ascii(d.offset)});
    if (d.thumbnail > 0) exif.push_back({0x927C, 7, std::string(d.thumbnail, '\x5a')});

    std::string out("II*\0\x08\0\0\0", 8);
    auto u16 = [](std::string& s, uint32_t v) {
        s += static_cast<char>(v & 0xff);
        s += static_cast<char>((v >> 8) & 0xff);
    };
    auto u32 = [&](std::string& s, uint32_t v) {
        u16(s, v & 0xffff);
        u16(s, v >> 16);
    };
    // An IFD at offset base with its large values right after it.
    auto ifd = [&](const std::vector<Field>& fields, uint32_t base) {
        std::string table, values;
        u16(table, static_cast<uint32_t>(fields.size()));
        const uint32_t valuesAt = base + 2 + 12 * static_cast<uint32_t>(fields.size()) + 4;
        for (const Field& f : fields) {
            u16(table, f.tag);
            u16(table, f.type);
            u32(table, static_cast<uint32_t>(f.type == 4 ? f.data.size() / 4 : f.data.size()));
            if (f.data.size() <= 4) {
                table += f.data + std::string(4 - f.data.size(), '\0');
            } else {
                u32(table, valuesAt + static_cast<uint32_t>(values.size()));
                values += f.data;
                if (values.size() % 2) values += '\0';
            }
        }
        u32(table, 0);
        return table + values;
    };
    const std::string first = ifd(ifd0, 8);
    const uint32_t exifAt = 8 + static_cast<uint32_t>(first.size());
    ifd0.back().data.clear();
    u32(ifd0.back().data, exifAt);
    out += ifd(ifd0, 8);
    out += ifd(exif, exifAt);
    return out;
}

// An XMP packet of one description holding each property ("exif:DateTimeOriginal",
// "photoshop:DateCreated", "xmp:CreateDate") with its value.
inline std::string XmpPacket(const std::vector<std::pair<std::string, std::string>>& properties) {
    std::string out =
        "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
        " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
        "  <rdf:Description rdf:about=\"\"\n"
        "    xmlns:exif=\"http://ns.adobe.com/exif/1.0/\"\n"
        "    xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\"\n"
        "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"";
    for (const auto& [name, value] : properties) out += "\n    " + name + "=\"" + value + "\"";
    out += "/>\n </rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
    return out;
}

// A JPEG marker segment.
inline std::string Segment(unsigned char marker, const std::string& body) {
    const size_t length = body.size() + 2;
    std::string out = "\xFF";
    out += static_cast<char>(marker);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(length & 0xff);
    return out + body;
}

inline std::string ExifSegment(const ExifDates& d) {
    return Segment(0xE1, std::string("Exif\0\0", 6) + ExifTiff(d));
}

inline std::string XmpSegment(const std::string& packet) {
    return Segment(0xE1, std::string("http://ns.adobe.com/xap/1.0/\0", 29) + packet);
}

// A JPEG as far as its metadata goes: the given segments, a frame header of
// width x height, the scan header and a few bytes of scan. Enough for a
// metadata reader; no decoder draws it.
inline std::string JpegWith(const std::string& segments, int width = 4000, int height = 3000) {
    std::string sof("\x08", 1);
    sof += static_cast<char>(height >> 8);
    sof += static_cast<char>(height & 0xff);
    sof += static_cast<char>(width >> 8);
    sof += static_cast<char>(width & 0xff);
    sof += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    const std::string sos =
        Segment(0xDA, std::string("\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00", 10));
    return "\xFF\xD8" + segments + Segment(0xC0, sof) + sos + std::string(64, '\x55') + "\xFF\xD9";
}

inline std::string Big32Bytes(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

inline std::string Big64Bytes(uint64_t v) {
    return Big32Bytes(static_cast<uint32_t>(v >> 32)) + Big32Bytes(static_cast<uint32_t>(v));
}

inline std::string Box(const std::string& type, const std::string& body) {
    return Big32Bytes(static_cast<uint32_t>(8 + body.size())) + type + body;
}

// A box whose size is given in the 64-bit field (size 1).
inline std::string LargeBox(const std::string& type, const std::string& body) {
    return Big32Bytes(1) + type + Big64Bytes(16 + body.size()) + body;
}

// A movie header of the given version whose creation time is created
// seconds since 1904 UTC.
inline std::string Mvhd(int version, uint64_t created) {
    std::string body(1, static_cast<char>(version));
    body += std::string(3, '\0');
    if (version == 1) {
        body += Big64Bytes(created) + Big64Bytes(created) + Big32Bytes(1000) + Big64Bytes(5000);
    } else {
        body += Big32Bytes(static_cast<uint32_t>(created)) +
                Big32Bytes(static_cast<uint32_t>(created)) + Big32Bytes(1000) + Big32Bytes(5000);
    }
    body += Big32Bytes(0x00010000) + std::string("\x01\x00", 2) + std::string(10, '\0');
    body += std::string(36, '\0') + std::string(24, '\0') + Big32Bytes(2);
    return Box("mvhd", body);
}

// Seconds since 1904 of seconds since 1970.
inline uint64_t MovieSeconds(int64_t unix) { return static_cast<uint64_t>(unix + 2082844800); }

// An MP4: ftyp, a 64-bit sized media box, then the movie box (at the end,
// as cameras write it), or the movie box first.
inline std::string Mp4Bytes(int version, uint64_t created, bool movieFirst = false,
                            const std::string& brand = "isom") {
    const std::string ftyp = Box("ftyp", brand + Big32Bytes(512) + brand + "mp41");
    const std::string moov =
        Box("moov", Mvhd(version, created) + Box("trak", Box("tkhd", std::string(84, '\0'))));
    const std::string mdat = LargeBox("mdat", std::string(4096, '\x11'));
    return movieFirst ? ftyp + moov + mdat : ftyp + mdat + moov;
}

// A HEIF picture file as far as its metadata goes: ftyp, a meta box whose
// one item is the EXIF block (tiff), located by iloc, and the data.
inline std::string HeicBytes(const std::string& tiff, const std::string& brand = "heic") {
    const std::string ftyp = Box("ftyp", brand + Big32Bytes(0) + "mif1" + brand);
    const std::string hdlr = Box("hdlr", std::string(8, '\0') + "pict" + std::string(13, '\0'));
    const std::string infe = Box("infe", std::string("\x02\0\0\0\0\x01\0\0Exif\0", 13));
    const std::string iinf = Box("iinf", std::string("\0\0\0\0\0\x01", 6) + infe);
    const std::string exif = Big32Bytes(6) + std::string("Exif\0\0", 6) + tiff;
    // iloc version 0, 4-byte offsets and lengths: one item of one extent.
    auto iloc = [&](uint32_t at) {
        return Box("iloc", std::string("\0\0\0\0\x44\0\0\x01\0\x01\0\0\0\x01", 14) +
                               Big32Bytes(at) + Big32Bytes(static_cast<uint32_t>(exif.size())));
    };
    const size_t metaSize = Box("meta", std::string(4, '\0') + hdlr + iinf + iloc(0)).size();
    const uint32_t at = static_cast<uint32_t>(ftyp.size() + metaSize + 8);
    return ftyp + Box("meta", std::string(4, '\0') + hdlr + iinf + iloc(at)) + Box("mdat", exif);
}

// The seeds of the taken-date fuzz target (tests/fuzz/corpus/takendate holds
// the same bytes, checked by the fuzz regression test), by file name.
inline std::vector<std::pair<std::string, std::string>> TakenDateSeeds() {
    const uint64_t instant = MovieSeconds(1'715'000'000);
    return {
        {"exif.jpg", JpegWith(ExifSegment({"2024:05:06 12:34:56", "2024:05:06 12:34:57",
                                           "2024:05:07 08:00:00", "+08:00", 200}))},
        {"xmp.jpg", JpegWith(XmpSegment(XmpPacket({{"exif:DateTimeOriginal", "2021-01-02T03:04:05"},
                                                   {"xmp:CreateDate", "2023-03-04"}})))},
        {"zeros.jpg", JpegWith(ExifSegment({"0000:00:00 00:00:00"}))},
        {"exif.tif", ExifTiff({"2024:05:06 12:34:56"})},
        {"exif.heic", HeicBytes(ExifTiff({"2024:05:06 12:34:56"}))},
        {"v0.mp4", Mp4Bytes(0, instant)},
        {"v1.mov", Mp4Bytes(1, instant, true, "qt  ")},
    };
}

}  // namespace zanfeld::test
