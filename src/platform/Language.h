#pragma once

#include <string>

namespace zanfeld {

// The language the program speaks unless told otherwise: "en" when the
// user's interface languages name English before Chinese, "zh" otherwise.
// The languages are LANGUAGE (a list, "de:en:zh") and then the locale
// messages are shown in (LC_ALL, else LC_MESSAGES, else LANG). As with
// gettext, a C or POSIX locale (or none at all) leaves LANGUAGE unread and
// means Chinese, the program's own language. The windows and zanfeld-cli
// both ask this.
std::string PreferredLanguage();

// The compiled catalogue of language ("en"): the Qt resource
// ":/i18n/zanfeld_<language>.qm" when the program holds one, else
// "<prefix>/share/zanfeld/translations/zanfeld_<language>.qm" where the
// program runs from "<prefix>/bin"; "" when there is neither, and for a
// language that is no plain language code ("en", "pt_BR").
std::string TranslationFile(const std::string& language);

}  // namespace zanfeld
