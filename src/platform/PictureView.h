#pragma once

#include <cstdint>
#include <vector>

namespace zanfeld {

class PictureFile;

// What the picture readers see of a file: pieces of it laid end to end. Leaving
// out metadata that the size does not depend on lets a reader that reads its
// header in one stream get past megabytes of it without a byte of it read.
class PictureView {
  public:
    struct Piece {
        int64_t offset;
        int64_t length;
    };

    // The pieces must lie inside the file and follow each other in order.
    PictureView(PictureFile& file, std::vector<Piece> pieces);

    // The whole file, nothing left out.
    static PictureView Whole(PictureFile& file);

    int64_t size() const { return m_size; }
    const std::vector<Piece>& pieces() const { return m_pieces; }

    // Reads up to count bytes at pos of the view: fewer at its end, 0 past
    // it, -1 on a read error or once the file's read budget is spent.
    int64_t read(int64_t pos, char* out, int64_t count);

  private:
    PictureFile& m_file;
    std::vector<Piece> m_pieces;
    int64_t m_size = 0;
};

}  // namespace zanfeld
