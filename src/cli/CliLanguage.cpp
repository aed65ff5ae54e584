#include "CliLanguage.h"

#include <string>

#include "Language.h"
#include "MessageTranslator.h"

namespace zanfeld {

std::string LoadLanguage(const std::optional<std::string>& typed) {
    const std::string language = typed ? *typed : PreferredLanguage();
    if (LoadTranslation(language) || !typed) return {};
    return "zanfeld-cli: --lang " + language +
           ": no catalogue of that language was found; the messages stay Chinese\n";
}

void UseLanguage(const CliRequest& r, std::FILE* err) {
    std::fputs(LoadLanguage(r.language).c_str(), err);
}

}  // namespace zanfeld
