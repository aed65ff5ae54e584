#pragma once

#include <cstdio>

#include "CliRequest.h"

namespace zanfeld {

// Loads the catalogue of the language the messages are written in: --lang,
// else the user's own (PreferredLanguage). When --lang asked for a language
// whose catalogue cannot be found, says so on err; the messages then stay
// Chinese. JSON output is never translated.
void UseLanguage(const CliRequest& r, std::FILE* err);

}  // namespace zanfeld
