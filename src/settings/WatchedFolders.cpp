#include "WatchedFolders.h"

#include "SectionReader.h"
#include "SettingsIni.h"
#include "StoredValues.h"

namespace zanfeld {

namespace {

constexpr const char* kSection = "Watch";
// More than anyone watches; a hand-edited Count cannot make the load spin.
constexpr int kMostFolders = 256;

std::string Key(const char* name, int i) { return name + std::to_string(i); }

}  // namespace

std::vector<WatchedFolder> LoadWatchedFolders(const std::string& iniPath) {
    CSimpleIniA ini;
    LoadForReading(iniPath, ini);
    const SectionReader in(ini, kSection);
    std::vector<WatchedFolder> folders;
    const int count = std::min(in.integer("Count"), kMostFolders);
    for (int i = 1; i <= count; ++i) {
        WatchedFolder f;
        f.folder = in.text(Key("Folder", i).c_str());
        if (f.folder.empty()) continue;
        f.plans = ParseSuffixFilter(in.text(Key("Plans", i).c_str()));
        f.on = in.integer(Key("On", i).c_str(), 1) != 0;
        f.depth = std::max(0, in.integer(Key("Depth", i).c_str()));
        f.allLevels = in.integer(Key("All", i).c_str()) != 0;
        folders.push_back(std::move(f));
    }
    return folders;
}

std::string SaveWatchedFolders(const std::string& iniPath,
                               const std::vector<WatchedFolder>& folders) {
    // The section is written anew, so that the entries of a longer list
    // before do not linger after the count.
    if (folders.empty()) return RemoveSection(iniPath, kSection);
    return ReplaceSection(iniPath, kSection, [&](SectionWriter& out) {
        out.integer("Count", static_cast<int>(folders.size()));
        for (size_t n = 0; n < folders.size(); ++n) {
            const int i = static_cast<int>(n) + 1;
            const WatchedFolder& f = folders[n];
            out.text(Key("Folder", i).c_str(), f.folder);
            out.text(Key("Plans", i).c_str(), JoinSuffixFilter(f.plans));
            out.integer(Key("On", i).c_str(), f.on ? 1 : 0);
            out.integer(Key("Depth", i).c_str(), f.depth);
            out.integer(Key("All", i).c_str(), f.allLevels ? 1 : 0);
        }
    });
}

}  // namespace zanfeld
