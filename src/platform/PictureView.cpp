#include "PictureView.h"

#include <algorithm>
#include <utility>

#include "PictureFile.h"

namespace zanfeld {

PictureView::PictureView(PictureFile& file, std::vector<Piece> pieces)
    : m_file(file), m_pieces(std::move(pieces)) {
    for (const Piece& p : m_pieces) m_size += p.length;
}

PictureView PictureView::Whole(PictureFile& file) {
    return PictureView(file, {Piece{0, file.size()}});
}

int64_t PictureView::read(int64_t pos, char* out, int64_t count) {
    if (pos < 0 || count < 0) return -1;
    int64_t done = 0;
    int64_t start = 0;  // where the current piece begins in the view
    for (const Piece& piece : m_pieces) {
        if (done == count) break;
        const int64_t end = start + piece.length;
        if (pos < end) {
            const int64_t within = pos - start;
            const int64_t want = std::min(count - done, piece.length - within);
            const int64_t n =
                m_file.readAt(piece.offset + within, out + done, static_cast<size_t>(want));
            if (n < 0) return done > 0 ? done : -1;
            done += n;
            pos += n;
            if (n < want) break;  // the file ends early: it shrank since it was opened
        }
        start = end;
    }
    return done;
}

}  // namespace zanfeld
