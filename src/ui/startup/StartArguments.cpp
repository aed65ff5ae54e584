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
        } else if (options && (word == "--lang" || word.starts_with("--lang="))) {
            std::string value;
            if (word == "--lang") {
                if (i + 1 >= argc) {
                    a.error = "--lang";
                    a.errorText = "option --lang needs a language: zh or en";
                    return a;
                }
                value = argv[++i];
            } else {
                value = std::string(word.substr(7));
            }
            if (!knownLanguage(value)) {
                a.error = "--lang";
                a.errorText = "option --lang takes zh or en, not '" + value + "'";
                return a;
            }
            a.lang = value;
        } else if (options && word.size() > 1 && word[0] == '-') {
            // Qt's own options (-platform, -style, ...) are taken by
            // QApplication before this sees the line; anything else is a mistake.
            a.error = std::string(word);
            a.errorText = "unknown option '" + a.error + "'";
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

bool StartArguments::knownLanguage(const std::string& lang) { return lang == "zh" || lang == "en"; }

const char* StartArguments::usage() {
    return "usage: zanfeld [--version] [--help] [--lang zh|en] [PATH...]\n"
           "\n"
           "Starts the Zanfeld file sorter. Files named here are listed in the file window,\n"
           "folders in the folder window (which opens when only folders are named).\n"
           "--lang chooses the language of the windows (Chinese or English); without it\n"
           "they speak English when the desktop's languages put English before Chinese.\n"
           "For sorting without a window, see zanfeld-cli(1).\n";
}

}  // namespace zanfeld
