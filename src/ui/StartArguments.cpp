#include "StartArguments.h"

#include <string_view>

namespace zanfeld {

StartArguments StartArguments::parse(int argc, const char* const* argv, const std::string& cwd) {
    StartArguments a;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (options && word == "--") {
            options = false;
        } else if (options && (word == "--help" || word == "-h")) {
            a.help = true;
        } else if (options && word == "--version") {
            a.version = true;
        } else if (options && word == "--self-check") {
            a.selfCheck = true;
        } else if (options && word.size() > 1 && word[0] == '-') {
            // Qt's own options (-platform, -style, ...) are taken by
            // QApplication before this sees the line; anything else is a mistake.
            a.error = std::string(word);
            return a;
        } else if (!word.empty()) {
            std::string path(word);
            if (path.front() != '/' && !cwd.empty())
                path = (cwd.back() == '/' ? cwd : cwd + "/") + path;
            a.paths.push_back(std::move(path));
        }
    }
    return a;
}

const char* StartArguments::usage() {
    return "usage: zanfeld [--version] [--help] [PATH...]\n"
           "\n"
           "Starts the Zanfeld file sorter. Files named here are listed in the file window,\n"
           "folders in the folder window (which opens when only folders are named).\n"
           "For sorting without a window, see zanfeld-cli(1).\n";
}

}  // namespace zanfeld
