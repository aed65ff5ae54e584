#include "StoredValues.h"

#include <cstdio>

#include "TextUtil.h"

namespace zanfeld {

SameFilePolicy SameFileFromStored(int value) {
    switch (value) {
        case 1:
            return SameFilePolicy::Overwrite;
        case 2:
            return SameFilePolicy::Ask;
        case 3:
            return SameFilePolicy::Rename;
        case 4:
            return SameFilePolicy::EditFileTime;
        case 5:
            return SameFilePolicy::Identical;
        default:
            return SameFilePolicy::Skip;
    }
}

int SameFileToStored(SameFilePolicy policy) {
    switch (policy) {
        case SameFilePolicy::Overwrite:
            return 1;
        case SameFilePolicy::Ask:
            return 2;
        case SameFilePolicy::Rename:
            return 3;
        case SameFilePolicy::EditFileTime:
            return 4;
        case SameFilePolicy::Identical:
            return 5;
        case SameFilePolicy::Skip:
            break;
    }
    return 0;
}

// Cuts a text value to its first kMaxTextLength bytes without leaving half a
// UTF-8 sequence at the end.
std::string CutText(std::string text) {
    if (text.size() <= kMaxTextLength) return text;
    size_t cut = kMaxTextLength;
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        for (size_t back = 1; back <= 3 && back <= cut; ++back) {
            const unsigned char c = static_cast<unsigned char>(text[cut - back]);
            if ((c & 0xC0) == 0x80) continue;
            if (c >= 0xC0) {
                const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
                if (length > back) cut -= back;
            }
            break;
        }
    }
    text.resize(cut);
    return text;
}

namespace {

// Reads exactly n decimal digits at text[pos].
std::optional<int> Digits(std::string_view text, size_t pos, size_t n) {
    if (pos + n > text.size()) return std::nullopt;
    int value = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string FormatDate(const CivilDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

// "yyyy-MM-dd", a real calendar day.
std::optional<CivilDate> ParseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    if (!year || !month || !day || *year < 1 || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*year, *month)) {
        return std::nullopt;
    }
    return CivilDate{*year, *month, *day};
}

std::string FormatTime(const TimeOfDay& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

// "HH:mm:ss" on a 24-hour clock.
std::optional<TimeOfDay> ParseTime(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    const auto hour = Digits(text, 0, 2);
    const auto minute = Digits(text, 3, 2);
    const auto second = Digits(text, 6, 2);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return TimeOfDay{*hour, *minute, *second};
}

std::vector<std::string> ParseSuffixFilter(std::string value) {
    std::vector<std::string> patterns;
    for (size_t bar = value.find('|'); bar != std::string::npos; bar = value.find('|')) {
        if (bar > 0) patterns.push_back(value.substr(0, bar));
        value.erase(0, bar + 1);
    }
    std::string rest = TrimBlanks(value);
    if (!rest.empty()) patterns.push_back(std::move(rest));
    return patterns;
}

std::string JoinSuffixFilter(const std::vector<std::string>& patterns) {
    std::string value;
    for (const std::string& pattern : patterns) {
        if (pattern.empty()) continue;
        value += pattern;
        value += '|';
    }
    return value;
}

}  // namespace zanfeld
