#include "TakenDate.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "ImageMetadata.h"
#include "MetadataBytes.h"
#include "QuickTimeDate.h"
#include "Sys.h"
#include "TakenTime.h"
#include "UniqueFd.h"

namespace zanfeld {

namespace {

// The first read: enough for the metadata of most camera pictures (their
// EXIF with its thumbnail), so that one read does.
constexpr int64_t kFirstRead = 64 * 1024;
// What the XMP reader may be given at most (see LimitMarkup): a JPEG's XMP
// segment holds fewer, random picture data of the budget's size about half.
constexpr size_t kMostMarkup = 64 * 1024;
constexpr size_t kLongestText = 512 * 1024;

// A regular file opened for reading and read within the budget.
class TakenFile {
  public:
    bool open(const std::string& path) {
        // Look before opening: opening a device can act on it and opening a
        // FIFO can wait for a writer. A link is not followed.
        struct stat named;
        if (sys().lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
        m_fd.reset(
            sys().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW, 0));
        if (!m_fd.valid()) return false;
        // The name may have been swapped between the look and the open.
        struct stat opened;
        if (sys().fstat(m_fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
            opened.st_dev != named.st_dev || opened.st_ino != named.st_ino)
            return false;
        m_size = opened.st_size;
        return true;
    }

    int64_t size() const { return m_size; }

    // All count bytes at offset, within the budget; false otherwise.
    bool readAt(int64_t offset, void* buffer, size_t count) {
        if (offset < 0 || static_cast<int64_t>(count) > kTakenReadBudget - m_read) return false;
        auto* out = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < count) {
            const ssize_t n = sys().pread(m_fd.get(), out + done, count - done,
                                          static_cast<off_t>(offset + static_cast<int64_t>(done)));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        m_read += static_cast<int64_t>(done);
        return done == count;
    }

    // bytes extended to the file's first length bytes (fewer at its end).
    bool readStart(std::string& bytes, int64_t length) {
        length = std::min(length, m_size);
        const size_t have = bytes.size();
        if (length <= static_cast<int64_t>(have)) return true;
        bytes.resize(static_cast<size_t>(length));
        if (!readAt(static_cast<int64_t>(have), bytes.data() + have, bytes.size() - have)) {
            bytes.resize(have);
            return false;
        }
        return true;
    }

  private:
    UniqueFd m_fd;
    int64_t m_size = 0;
    int64_t m_read = 0;
};

std::optional<LocalDateTime> MovieDate(TakenFile& file) {
    const auto created =
        QuickTimeCreationTime([&](int64_t offset, void* buffer,
                                  size_t count) { return file.readAt(offset, buffer, count); },
                              file.size());
    if (!created) return std::nullopt;
    // The movie's time is UTC: shown as the machine's clock shows it.
    const LocalDateTime local = LocalTimeOfUtc(*created);
    if (!IsPlausibleTakenTime(local)) return std::nullopt;
    return local;
}

std::optional<LocalDateTime> PictureDate(TakenFile& file, std::string& bytes) {
    const auto* head = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() >= 2 && head[0] == 0xFF && head[1] == 0xD8) {
        // A JPEG's metadata all comes before its picture data, which is
        // neither read nor shown to the reader.
        for (;;) {
            const int64_t need = JpegMetadataLength(bytes, kTakenReadBudget);
            if (need <= static_cast<int64_t>(bytes.size())) {
                bytes.resize(static_cast<size_t>(need));
                break;
            }
            const int64_t have = static_cast<int64_t>(bytes.size());
            const int64_t more = std::min(kTakenReadBudget, std::max(2 * have, need));
            // At the end of the file (or the budget) the reader gets what there is.
            if (more <= have || !file.readStart(bytes, more) ||
                static_cast<int64_t>(bytes.size()) < more)
                break;
        }
    } else {
        if (!HasMetadataHeader(bytes)) return std::nullopt;
        // Elsewhere the metadata may lie anywhere: within the budget it is read.
        file.readStart(bytes, kTakenReadBudget);
        if (bytes.size() >= 8 && bytes.compare(0, 4, "\x89PNG") == 0)
            bytes = PngMetadataOnly(bytes);
        LimitMarkup(bytes, kMostMarkup, kLongestText);
    }
    return ImageTakenDate(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

}  // namespace

std::optional<LocalDateTime> ReadTakenDate(const std::string& path) {
    TakenFile file;
    if (!file.open(path)) return std::nullopt;
    std::string bytes;
    if (!file.readStart(bytes, kFirstRead) || bytes.size() < 12) return std::nullopt;
    if (LooksLikeMovie(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()))
        return MovieDate(file);
    return PictureDate(file, bytes);
}

}  // namespace zanfeld
