#pragma once

#include <string>
#include <vector>

namespace zanfeld {

// A folder kept sorted by the watcher: the plans applied, in order, to what
// arrives in it.
struct WatchedFolder {
    std::string folder;               // native path
    std::vector<std::string> plans;   // plan names, in order
    bool on = true;                   // switched on in the window
    int depth = 0;                    // levels below folder watched, as --depth
    bool allLevels = false;           // every level, as --all
};

// Section "[Watch]" of the settings file: Count=N, then Folder<i>, Plans<i>
// (names joined by "|"), On<i>, Depth<i>, All<i> for i = 1..N.
std::vector<WatchedFolder> LoadWatchedFolders(const std::string& iniPath);
// Rewrites the section; every other section stays. "" or what went wrong.
std::string SaveWatchedFolders(const std::string& iniPath,
                               const std::vector<WatchedFolder>& folders);

}  // namespace zanfeld
