#pragma once

#include <string>
#include <vector>

namespace zanfeld {

// What zanfeld was started with: paths to list (a desktop's "open with",
// files dropped on its launcher) and the few options it takes. Paths stay the
// bytes they were given, made absolute against the working folder.
struct StartArguments {
    bool help = false;
    bool version = false;
    // Prints what the installed program found of its own files (the Qt
    // translations, a CJK font, its icon) and ends: for the install test.
    bool selfCheck = false;
    // The language of the windows (--lang zh|en); empty when not given.
    std::string lang;
    std::vector<std::string> paths;
    // The option at fault, named: one the program does not know, or one
    // whose value is missing or wrong.
    std::string error;
    // What is wrong with it, for the user; empty when nothing is.
    std::string errorText;

    static StartArguments parse(int argc, const char* const* argv, const std::string& cwd);
    // The languages --lang takes.
    static bool knownLanguage(const std::string& lang);
    // The text --help prints.
    static const char* usage();
};

}  // namespace zanfeld
