#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SortTypes.h"

namespace zanfeld {

// How the settings file writes its values.

// Longest text value taken from the file.
inline constexpr size_t kMaxTextLength = 2047;

SameFilePolicy SameFileFromStored(int value);
int SameFileToStored(SameFilePolicy policy);
// Cuts a text value to its first kMaxTextLength bytes without leaving half a
// UTF-8 sequence at the end.
std::string CutText(std::string text);
std::string FormatDate(const CivilDate& date);
// "yyyy-MM-dd", a real calendar day.
std::optional<CivilDate> ParseDate(std::string_view text);
std::string FormatTime(const TimeOfDay& time);
// "HH:mm:ss" on a 24-hour clock.
std::optional<TimeOfDay> ParseTime(std::string_view text);
// "*.txt|*.doc|" and back.
std::vector<std::string> ParseSuffixFilter(std::string value);
std::string JoinSuffixFilter(const std::vector<std::string>& patterns);

}  // namespace zanfeld
