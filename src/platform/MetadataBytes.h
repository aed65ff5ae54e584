#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zanfeld {

// Whether the first bytes (at least 12) begin a picture format other than
// JPEG whose metadata is read: TIFF and the raw formats built on it, PNG,
// WebP, and the box formats HEIC, AVIF and CR3.
bool HasMetadataHeader(std::string_view head);

// How many of a JPEG's first bytes hold its metadata: up to the end of its
// start-of-scan header, where the compressed picture begins. head holds the
// first bytes of the file; when they end before that, the answer is
// head.size() + 1 ("more"), up to limit, which stands for "too far".
int64_t JpegMetadataLength(std::string_view head, int64_t limit);

// A PNG cut down to what holds its metadata without compression: the
// signature, the header, eXIf and uncompressed XMP (iTXt) chunks, and the
// end. Compressed text is left out: a small chunk can inflate to gigabytes.
// Empty for bytes that are no PNG.
std::string PngMetadataOnly(std::string_view png);

// Cuts bytes short before its markup bytes ('<' and '=', in any of the
// encodings an XML reader takes) pass mostMarkup. An XMP reader builds a tree
// of many times the packet's size, a node for each element or attribute, and
// each needs one of them: so the tree stays small whatever a packet holds,
// while metadata with a few thousand of them (as any camera's) is untouched.
// A text run of more than longestText bytes is zeroed as well: one long text
// node is copied several times over on its way through the XMP reader.
// Binary structures hold small numbers, and so zero bytes, far more often.
void LimitMarkup(std::string& bytes, size_t mostMarkup, size_t longestText);

}  // namespace zanfeld
