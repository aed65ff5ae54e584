#pragma once

#include <string>

namespace zanfeld {

// A date as the user's regional settings write it short (on a Chinese
// locale 2013-5-7 reads "2013/5/7", on a German one "07.05.13"), every field
// of the locale's pattern rendered, month names included.
std::string ShortDateText(int year, int month, int day);

// Tests: a locale by name ("de_DE", "C") in place of the system's, or "" for
// the system's again.
void SetShortDateLocale(const std::string& name);
// Tests: a pattern of QLocale's date fields ("dd.MM.yy", quotes for text)
// in place of the locale's short one, or "" for the locale's again.
void SetShortDatePattern(const std::string& pattern);

}  // namespace zanfeld
