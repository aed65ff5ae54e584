#include "NameDate.h"

#include <cstdint>

#include "TakenTime.h"

namespace zanfeld {

namespace {

// A cursor over the name; each step matches or leaves the cursor failed.
class NameScan {
  public:
    explicit NameScan(std::string_view name) : m_name(name) {}

    bool ok() const { return m_ok; }
    size_t at() const { return m_at; }
    bool atEnd() const { return m_at >= m_name.size(); }

    NameScan& text(std::string_view t) {
        if (m_ok && m_name.substr(m_at, t.size()) == t)
            m_at += t.size();
        else
            m_ok = false;
        return *this;
    }
    NameScan& digits(size_t count, int& value) {
        int64_t v = 0;
        number(count, count, v);
        value = static_cast<int>(v);
        return *this;
    }
    // From fewest to most digits, as many as there are.
    NameScan& number(size_t fewest, size_t most, int64_t& value) {
        size_t n = 0;
        value = 0;
        while (m_ok && n < most && m_at + n < m_name.size() && IsDigit(m_name[m_at + n]))
            value = value * 10 + (m_name[m_at + n++] - '0');
        if (n < fewest) m_ok = false;
        if (m_ok) m_at += n;
        return *this;
    }
    // No digit right after: "IMG_202405061" is no date.
    NameScan& noDigit() {
        if (m_ok && !atEnd() && IsDigit(m_name[m_at])) m_ok = false;
        return *this;
    }
    // An optional piece: taken when it matches, else the cursor stays.
    template <typename Step>
    bool maybe(Step step) {
        if (!m_ok) return false;
        NameScan trial = *this;
        step(trial);
        if (!trial.m_ok) return false;
        *this = trial;
        return true;
    }

  private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    std::string_view m_name;
    size_t m_at = 0;
    bool m_ok = true;
};

std::optional<LocalDateTime> Checked(bool ok, const LocalDateTime& t) {
    if (!ok || !IsPlausibleTakenTime(t)) return std::nullopt;
    return t;
}

void CompactDate(NameScan& s, LocalDateTime& t) {
    s.digits(4, t.year).digits(2, t.month).digits(2, t.day);
}

// IMG_20240506_123456 and its kin: the time when it follows the day.
std::optional<LocalDateTime> CameraName(std::string_view name, std::string_view prefix) {
    NameScan s(name);
    LocalDateTime t;
    s.text(prefix);
    CompactDate(s, t);
    s.noDigit();
    if (!s.ok()) return std::nullopt;
    LocalDateTime timed = t;
    if (s.maybe([&](NameScan& m) {
            m.text("_").digits(2, timed.hour).digits(2, timed.minute).digits(2, timed.second);
        }) ||
        s.maybe([&](NameScan& m) {
            m.text("_")
                .digits(2, timed.hour)
                .text("_")
                .digits(2, timed.minute)
                .text("_")
                .digits(2, timed.second);
        }))
        t = timed;
    return Checked(true, t);
}

std::optional<LocalDateTime> WhatsAppName(std::string_view name) {
    for (const std::string_view prefix : {"IMG-", "VID-"}) {
        NameScan s(name);
        LocalDateTime t;
        s.text(prefix);
        CompactDate(s, t);
        s.text("-WA");
        if (s.ok()) return Checked(true, t);
    }
    return std::nullopt;
}

std::optional<LocalDateTime> ScreenshotName(std::string_view name) {
    LocalDateTime t;
    {
        // Android: Screenshot_2024-05-06-12-34-56
        NameScan s(name);
        s.text("Screenshot_")
            .digits(4, t.year)
            .text("-")
            .digits(2, t.month)
            .text("-")
            .digits(2, t.day);
        s.text("-").digits(2, t.hour).text("-").digits(2, t.minute).text("-").digits(2, t.second);
        if (s.ok()) return Checked(true, t);
    }
    {
        // Android: Screenshot_20240506-123456
        NameScan s(name);
        t = {};
        s.text("Screenshot_");
        CompactDate(s, t);
        s.text("-").digits(2, t.hour).digits(2, t.minute).digits(2, t.second);
        if (s.ok()) return Checked(true, t);
    }
    // macOS: Screenshot 2024-05-06 at 12.34.56, or 1.23.45 PM
    NameScan s(name);
    t = {};
    int64_t hour = 0;
    s.text("Screenshot ").digits(4, t.year).text("-").digits(2, t.month).text("-").digits(2, t.day);
    s.text(" at ").number(1, 2, hour).text(".").digits(2, t.minute).text(".").digits(2, t.second);
    if (!s.ok()) return std::nullopt;
    t.hour = static_cast<int>(hour);
    const bool pm = s.maybe([](NameScan& m) { m.text(" PM"); });
    const bool am = !pm && s.maybe([](NameScan& m) { m.text(" AM"); });
    if (pm || am) {
        if (t.hour < 1 || t.hour > 12) return std::nullopt;
        t.hour = t.hour % 12 + (pm ? 12 : 0);
    }
    return Checked(true, t);
}

std::optional<LocalDateTime> WeChatName(std::string_view name) {
    NameScan s(name);
    LocalDateTime t;
    s.text("微信图片_");
    CompactDate(s, t);
    s.digits(2, t.hour).digits(2, t.minute).digits(2, t.second).noDigit();
    return Checked(s.ok(), t);
}

std::optional<LocalDateTime> MmexportName(std::string_view name) {
    NameScan s(name);
    int64_t milliseconds = 0;
    s.text("mmexport").number(13, 13, milliseconds).noDigit();
    if (!s.ok()) return std::nullopt;
    return Checked(true, LocalTimeOfUtc(milliseconds / 1000));
}

// Dropbox's camera uploads: 2024-05-06 12.34.56
std::optional<LocalDateTime> UploadName(std::string_view name) {
    NameScan s(name);
    LocalDateTime t;
    s.digits(4, t.year).text("-").digits(2, t.month).text("-").digits(2, t.day).text(" ");
    s.digits(2, t.hour).text(".").digits(2, t.minute).text(".").digits(2, t.second).noDigit();
    return Checked(s.ok(), t);
}

}  // namespace

std::optional<LocalDateTime> DateFromName(std::string_view name) {
    for (const std::string_view prefix : {"IMG_", "VID_", "PXL_", "WP_"})
        if (name.substr(0, prefix.size()) == prefix) return CameraName(name, prefix);
    if (name.substr(0, 4) == "IMG-" || name.substr(0, 4) == "VID-") return WhatsAppName(name);
    if (name.substr(0, 10) == "Screenshot") return ScreenshotName(name);
    if (name.substr(0, 8) == "mmexport") return MmexportName(name);
    if (const auto wechat = WeChatName(name)) return wechat;
    return UploadName(name);
}

}  // namespace zanfeld
