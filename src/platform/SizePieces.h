#pragma once

#include <vector>

#include "PictureView.h"

namespace zanfeld {

class PictureFile;

// The pieces of a picture file that its stored size can depend on, found by
// walking the headers with small reads and skipping the bodies between them:
//  - JPEG: up to the start of the scan, without the APPn segments (EXIF, XMP,
//    ICC profiles, Photoshop data; APP0 and APP14 stay, the decoder reads them),
//    comments, and what the decoder passes over between segments;
//  - PNG: up to the first IDAT, without the ancillary chunks after IHDR (text,
//    profiles, EXIF).
// The walks read the markers as the decoders do. Where the decoder would stop
// with an error, the walk stops too and leaves the rest as it is, so the
// decoder meets the fault where it would have met it. Other formats: the whole
// file. No pieces at all for a file cut into thousands of them.
std::vector<PictureView::Piece> SizePieces(PictureFile& file);

}  // namespace zanfeld
