#include "ProgressLine.h"

#include <cstdint>

#include "MessageTranslator.h"
#include "PathNames.h"
#include "PlainText.h"
#include "RunStatusLine.h"

namespace zanfeld {

namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

// The character at text[i] and its length in bytes; a byte that begins no
// valid sequence counts alone.
uint32_t Decode(std::string_view text, size_t i, size_t& length) {
    const auto c = static_cast<unsigned char>(text[i]);
    length = 1;
    if (c < 0x80) return c;
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    if (n == 0 || i + n > text.size()) return 0xFFFD;
    uint32_t point = c & (0x3F >> (n - 1));
    for (size_t k = 1; k < n; ++k) {
        const auto d = static_cast<unsigned char>(text[i + k]);
        if ((d & 0xC0) != 0x80) return 0xFFFD;
        point = point << 6 | (d & 0x3F);
    }
    length = n;
    return point;
}

bool Wide(uint32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, bool enabled, bool folders, int columns, bool undo)
    : m_out(out),
      m_enabled(enabled),
      m_folders(folders),
      m_undo(undo),
      m_columns(columns > 0 ? columns : 80) {}

void ProgressLine::note(const RunProgress& progress) {
    if (!m_enabled || !progress.path) return;
    const Clock::time_point now = Clock::now();
    if (m_shown && now - m_drawn < kRedrawEvery) return;
    m_drawn = now;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - m_start).count();
    const std::string name = PlainText::field(FileNameOf(*progress.path));
    const std::string text =
        TranslateMessage(m_undo ? RunStatusLine::undoing(progress, name, elapsed)
                                : RunStatusLine::during(progress, name, m_folders, elapsed));
    // One column is kept free: a line that fills the last one wraps on some terminals.
    std::fputs("\r\033[K", m_out);
    std::fputs(fit(text, m_columns - 1).c_str(), m_out);
    std::fflush(m_out);
    m_shown = true;
}

void ProgressLine::clear() {
    if (!m_shown) return;
    std::fputs("\r\033[K", m_out);
    std::fflush(m_out);
    m_shown = false;
}

int ProgressLine::columns(std::string_view text) {
    int total = 0;
    for (size_t i = 0; i < text.size();) {
        size_t length = 1;
        const uint32_t c = Decode(text, i, length);
        total += Wide(c) ? 2 : 1;
        i += length;
    }
    return total;
}

std::string ProgressLine::fit(std::string_view text, int columns) {
    int used = 0;
    size_t end = 0;
    while (end < text.size()) {
        size_t length = 1;
        const uint32_t c = Decode(text, end, length);
        const int width = Wide(c) ? 2 : 1;
        if (used + width > columns) break;
        used += width;
        end += length;
    }
    return std::string(text.substr(0, end));
}

}  // namespace zanfeld
