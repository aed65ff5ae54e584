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
    std::vector<std::string> paths;
    std::string error;  // an option the program does not know, named

    static StartArguments parse(int argc, const char* const* argv, const std::string& cwd);
    // The text --help prints.
    static const char* usage();
};

}  // namespace zanfeld
