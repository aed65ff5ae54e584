#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "CliRequest.h"

namespace zanfeld {

// Loads the catalogue of the language the messages are written in: --lang,
// else the user's own (PreferredLanguage). When --lang asked for a language
// whose catalogue cannot be found, says so on err; the messages then stay
// Chinese. JSON output is never translated.
void UseLanguage(const CliRequest& r, std::FILE* err);

// The same for language as --lang gave it (none: the user's own); returns
// what UseLanguage says, or "".
std::string LoadLanguage(const std::optional<std::string>& language);

}  // namespace zanfeld
