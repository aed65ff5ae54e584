#include "AutostartEntry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "HomeFolder.h"
#include "WholeFile.h"

namespace zanfeld {

namespace {

std::string AutostartFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Only an absolute XDG_CONFIG_HOME counts, as for the settings file.
    std::string config;
    if (xdg && xdg[0] == '/') {
        config = xdg;
    } else {
        config = HomeFolder();
        if (config.empty()) config = ".";
        if (config.back() != '/') config.push_back('/');
        config += ".config";
    }
    if (config.back() != '/') config.push_back('/');
    return config + "autostart";
}

// Makes folder and the folders above it that are missing.
int MakeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT) return errno;
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        if (const int error = MakeFolders(folder.substr(0, slash))) return error;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    return 0;
}

// A word of the Exec key: quoted when it holds a blank or a character the
// format reserves, with ", `, $ and \ escaped inside the quotes. The key's
// value is then escaped once more as any string value is (\ doubled).
std::string ExecWord(const std::string& word) {
    const bool plain =
        !word.empty() && word.find_first_of(" \t\n\"'\\><~|&;$*?#()`%") == std::string::npos;
    std::string out;
    if (plain) {
        out = word;
    } else {
        out.push_back('"');
        for (const char c : word) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') out.push_back('\\');
            out.push_back(c);
        }
        out.push_back('"');
    }
    std::string escaped;
    for (const char c : out) {
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '%') {
            escaped += "%%";  // a field code otherwise
        } else {
            escaped.push_back(c);
        }
    }
    return escaped;
}

}  // namespace

std::string AutostartEntryPath() { return AutostartFolder() + "/zanfeld-watch.desktop"; }

std::string AutostartEntryText(const std::vector<std::string>& command, const std::string& name) {
    std::string exec;
    for (const std::string& word : command) {
        if (!exec.empty()) exec.push_back(' ');
        exec += ExecWord(word);
    }
    // A line break would end the value early.
    std::string shownName;
    for (const char c : name) shownName += c == '\n' ? std::string("\\n") : std::string(1, c);
    return "[Desktop Entry]\nType=Application\nName=" + shownName + "\nExec=" + exec +
           "\nX-GNOME-Autostart-enabled=true\nNoDisplay=true\n";
}

int WriteAutostartEntry(const std::vector<std::string>& command, const std::string& name) {
    if (const int error = MakeFolders(AutostartFolder())) return error;
    return ReplaceFileContents(AutostartEntryPath(), AutostartEntryText(command, name));
}

int RemoveAutostartEntry() {
    if (::unlink(AutostartEntryPath().c_str()) != 0 && errno != ENOENT) return errno;
    return 0;
}

}  // namespace zanfeld
