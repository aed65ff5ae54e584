#include "TakenTime.h"

#include <time.h>

#include <tuple>

namespace zanfeld {

namespace {

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

auto Key(const LocalDateTime& t) {
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// Reads count decimal digits at text[at], moving at past them.
bool Digits(std::string_view text, size_t& at, size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (size_t i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    at += count;
    return true;
}

bool Separator(std::string_view text, size_t& at, std::string_view allowed) {
    if (at >= text.size() || allowed.find(text[at]) == std::string_view::npos) return false;
    ++at;
    return true;
}

std::optional<LocalDateTime> Checked(const LocalDateTime& t) {
    if (!IsPlausibleTakenTime(t)) return std::nullopt;
    return t;
}

}  // namespace

bool IsPlausibleTakenTime(const LocalDateTime& t) {
    if (t.year < 1900 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59 || t.second < 0 || t.second > 59)
        return false;
    // A clock a few hours ahead (a zone crossed) is still a date; one a year
    // ahead is a clock never set.
    const LocalDateTime latest = LocalTimeOfUtc(static_cast<int64_t>(::time(nullptr)) + 86400);
    return latest.year == 0 || Key(t) <= Key(latest);
}

LocalDateTime LocalTimeOfUtc(int64_t secondsSince1970) {
    return ToLocalDateTime(FileTime{secondsSince1970, 0});
}

std::optional<LocalDateTime> ParseExifDateTime(std::string_view text) {
    // Some cameras write the date with dashes or slashes; a fraction or a
    // zone may follow the seconds, and padding after them is common.
    LocalDateTime t;
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    if (!Digits(text, at, 4, t.year) || !Separator(text, at, ":-/") ||
        !Digits(text, at, 2, t.month) || !Separator(text, at, ":-/") ||
        !Digits(text, at, 2, t.day) || !Separator(text, at, " T") || !Digits(text, at, 2, t.hour) ||
        !Separator(text, at, ":") || !Digits(text, at, 2, t.minute) || !Separator(text, at, ":") ||
        !Digits(text, at, 2, t.second))
        return std::nullopt;
    return Checked(t);
}

std::optional<LocalDateTime> ParseXmpDateTime(std::string_view text) {
    LocalDateTime t;
    size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;
    if (!Digits(text, at, 4, t.year) || !Separator(text, at, "-") ||
        !Digits(text, at, 2, t.month) || !Separator(text, at, "-") || !Digits(text, at, 2, t.day))
        return std::nullopt;
    if (Separator(text, at, "T ")) {
        if (!Digits(text, at, 2, t.hour) || !Separator(text, at, ":") ||
            !Digits(text, at, 2, t.minute))
            return std::nullopt;
        if (Separator(text, at, ":") && !Digits(text, at, 2, t.second)) return std::nullopt;
    }
    return Checked(t);
}

}  // namespace zanfeld
