#include "CliLanguage.h"

#include <string>

#include "Language.h"
#include "MessageTranslator.h"

namespace zanfeld {

void UseLanguage(const CliRequest& r, std::FILE* err) {
    const std::string language = r.language ? *r.language : PreferredLanguage();
    if (LoadTranslation(language) || !r.language) return;
    std::fprintf(err,
                 "zanfeld-cli: --lang %s: no catalogue of that language was found; "
                 "the messages stay Chinese\n",
                 language.c_str());
}

}  // namespace zanfeld
