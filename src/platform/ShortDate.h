#pragma once

#include <string>

namespace zanfeld {

// A date in the user's short date format (on a Chinese locale 2013-5-7 reads
// "2013/5/7"). The pattern uses d, dd, M, MM, yy and yyyy; everything else is
// copied. By default it is the system locale's short date pattern.
std::string ShortDateText(int year, int month, int day);

// Fixes the pattern (tests); an empty pattern goes back to the system's.
void SetShortDatePattern(const std::string& pattern);

}  // namespace zanfeld
