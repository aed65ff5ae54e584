#include "SizePieces.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "PictureFile.h"

namespace zanfeld {

namespace {

using Piece = PictureView::Piece;

// Pictures have a handful of stretches of metadata; a file built of
// thousands of them, between segments that must stay, is turned down rather
// than given a piece list as long as the read budget allows.
constexpr size_t kMaxPieces = 4096;

// The pieces kept so far and where the piece being kept starts.
struct Cut {
    std::vector<Piece> pieces;
    int64_t keepFrom = 0;
    bool tooMany = false;
};

// Leaves [from, to) out; false (and the file turned down) past kMaxPieces.
bool LeaveOut(Cut& cut, int64_t from, int64_t to) {
    if (from > cut.keepFrom) {
        if (cut.pieces.size() + 1 >= kMaxPieces) {
            cut.tooMany = true;
            return false;
        }
        cut.pieces.push_back(Piece{cut.keepFrom, from - cut.keepFrom});
    }
    cut.keepFrom = to;
    return true;
}

std::vector<Piece> Finish(Cut& cut, int64_t size) {
    if (cut.tooMany) return {};
    if (size > cut.keepFrom) cut.pieces.push_back(Piece{cut.keepFrom, size - cut.keepFrom});
    return std::move(cut.pieces);
}

// Big-endian integer of n bytes at offset, or -1 when a byte cannot be read.
int64_t BigEndian(PictureFile& file, int64_t offset, int n) {
    int64_t value = 0;
    for (int i = 0; i < n; ++i) {
        const int b = file.byteAt(offset + i);
        if (b < 0) return -1;
        value = value << 8 | b;
    }
    return value;
}

bool IsJpeg(PictureFile& file) { return file.byteAt(0) == 0xFF && file.byteAt(1) == 0xD8; }

bool IsPng(PictureFile& file) {
    static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (int i = 0; i < 8; ++i)
        if (file.byteAt(i) != kSignature[i]) return false;
    return true;
}

// APP1 to APP13, APP15 and COM: nothing in them changes the frame header.
bool IsJpegMetadata(int marker) {
    return (marker >= 0xE1 && marker <= 0xED) || marker == 0xEF || marker == 0xFE;
}

// RSTn and TEM: markers without a length, which the decoder passes over
// before the scan.
bool IsJpegStandalone(int marker) { return (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01; }

// Walks the markers the way the decoder finds them, so that everything it
// would pass over on its way to the scan can be left out: a decoder given a
// long run of metadata keeps each segment in a list it appends to by walking
// it, and takes minutes over a megabyte of empty ones.
std::vector<Piece> JpegPieces(PictureFile& file) {
    Cut cut;
    int64_t pos = 2;  // after SOI
    for (;;) {
        // Bytes other than 0xFF before a marker are passed over (with a
        // warning), fill bytes 0xFF belong to the marker, and 0xFF 0x00 is no
        // marker at all.
        const int64_t from = pos;
        int c;
        while ((c = file.byteAt(pos)) >= 0 && c != 0xFF) ++pos;
        int64_t at = pos + 1;
        while ((c = file.byteAt(at)) == 0xFF) ++at;
        if (c < 0) break;
        if (c == 0x00 || IsJpegStandalone(c)) {
            if (!LeaveOut(cut, from, at + 1)) break;
            pos = at + 1;
            continue;
        }
        if (c == 0xDA || c == 0xD9 || c == 0xD8) break;  // the scan, the end, a second start
        const int64_t length = BigEndian(file, at + 1, 2);
        if (length < 0) break;
        // A length below 2 counts as no body.
        const int64_t end = at + 1 + std::max<int64_t>(length, 2);
        if (end > file.size()) break;
        if (IsJpegMetadata(c) && !LeaveOut(cut, from, end)) break;
        pos = end;
    }
    return Finish(cut, file.size());
}

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::vector<Piece> PngPieces(PictureFile& file) {
    Cut cut;
    int64_t pos = 8;  // after the signature
    for (bool first = true;; first = false) {
        const int64_t length = BigEndian(file, pos, 4);
        const int64_t type = BigEndian(file, pos + 4, 4);
        if (length < 0 || type < 0 || length > 0x7FFFFFFF) break;
        const int t0 = static_cast<int>(type >> 24);
        if (!IsLetter(t0) || !IsLetter((type >> 16) & 0xFF) || !IsLetter((type >> 8) & 0xFF) ||
            !IsLetter(type & 0xFF))
            break;
        if (type == 0x49444154 || type == 0x49454E44) break;  // IDAT, IEND
        const int64_t end = pos + 12 + length;                // length, type, data, CRC
        // A chunk before the pixel data that the file cuts short: the reader
        // fails on it, and may first reserve room for all it claims to hold
        // (up to 2 GB). No picture.
        if (end > file.size()) return {};
        if (first) {
            if (type != 0x49484452) break;                     // the reader insists on IHDR first
        } else if ((t0 & 0x20) && !LeaveOut(cut, pos, end)) {  // lower case: ancillary
            break;
        }
        pos = end;
    }
    return Finish(cut, file.size());
}

}  // namespace

std::vector<Piece> SizePieces(PictureFile& file) {
    if (IsJpeg(file)) return JpegPieces(file);
    if (IsPng(file)) return PngPieces(file);
    return {Piece{0, file.size()}};
}

}  // namespace zanfeld
