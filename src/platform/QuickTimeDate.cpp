#include "QuickTimeDate.h"

#include <cstring>
#include <string_view>

namespace zanfeld {

namespace {

// Seconds from 1904-01-01, the movie epoch, to 1970-01-01.
constexpr int64_t kMovieEpochOffset = 2'082'844'800;
constexpr int kMostBoxes = 300;
constexpr int kDeepest = 4;

uint32_t Big32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint64_t Big64(const unsigned char* p) { return (uint64_t{Big32(p)} << 32) | Big32(p + 4); }

struct Box {
    char type[4];
    int64_t body = 0;  // where its contents start
    int64_t end = 0;
};

class BoxWalk {
  public:
    BoxWalk(const ReadBytesAt& read) : m_read(read) {}

    // The box of type among the children of [begin, end), found by walking
    // their headers.
    bool find(int64_t begin, int64_t end, const char* type, Box& found) {
        int64_t at = begin;
        while (end - at >= 8) {
            if (++m_boxes > kMostBoxes) return false;
            unsigned char head[16];
            if (!m_read(at, head, 8)) return false;
            uint64_t size = Big32(head);
            int64_t header = 8;
            if (size == 1) {
                // The size does not fit in 32 bits: a 64-bit one follows.
                if (end - at < 16 || !m_read(at + 8, head + 8, 8)) return false;
                size = Big64(head + 8);
                header = 16;
            } else if (size == 0) {
                size = static_cast<uint64_t>(end - at);  // to the end of its parent
            }
            if (size < static_cast<uint64_t>(header) || size > static_cast<uint64_t>(end - at))
                return false;
            if (std::memcmp(head + 4, type, 4) == 0) {
                std::memcpy(found.type, head + 4, 4);
                found.body = at + header;
                found.end = at + static_cast<int64_t>(size);
                return true;
            }
            at += static_cast<int64_t>(size);
        }
        return false;
    }

  private:
    const ReadBytesAt& m_read;
    int m_boxes = 0;
};

bool IsPictureBrand(std::string_view brand) {
    static constexpr std::string_view kPictures[] = {"heic", "heix", "heim", "heis", "hevc", "hevx",
                                                     "mif1", "msf1", "avif", "avis", "crx "};
    for (const std::string_view p : kPictures)
        if (brand == p) return true;
    return false;
}

}  // namespace

std::optional<int64_t> QuickTimeCreationTime(const ReadBytesAt& read, int64_t size) {
    // moov/mvhd; the path stays within kDeepest levels.
    static constexpr const char* kPath[] = {"moov", "mvhd"};
    static_assert(std::size(kPath) <= kDeepest);
    BoxWalk walk(read);
    Box box;
    int64_t begin = 0, end = size;
    for (const char* type : kPath) {
        if (!walk.find(begin, end, type, box)) return std::nullopt;
        begin = box.body;
        end = box.end;
    }
    // mvhd: version, flags, then the creation time in 32 bits (version 0)
    // or 64 bits (version 1), seconds since 1904 UTC.
    unsigned char head[12];
    if (end - begin < 8 || !read(begin, head, 8)) return std::nullopt;
    uint64_t created = 0;
    if (head[0] == 0) {
        created = Big32(head + 4);
    } else if (head[0] == 1) {
        if (end - begin < 12 || !read(begin + 8, head + 8, 4)) return std::nullopt;
        created = Big64(head + 4);
    } else {
        return std::nullopt;
    }
    // 0 is what a muxer writes that knows no time; beyond the year 10000 is
    // no time either, and stays clear of any overflow.
    if (created == 0 || created > uint64_t{300'000'000'000}) return std::nullopt;
    return static_cast<int64_t>(created) - kMovieEpochOffset;
}

bool LooksLikeMovie(const unsigned char* head, size_t count) {
    if (count < 12) return false;
    const std::string_view type(reinterpret_cast<const char*>(head + 4), 4);
    if (type == "ftyp")
        return !IsPictureBrand(std::string_view(reinterpret_cast<const char*>(head + 8), 4));
    // Old QuickTime files start with other boxes than ftyp.
    return type == "moov" || type == "mdat" || type == "wide" || type == "free" || type == "skip" ||
           type == "pnot";
}

}  // namespace zanfeld
