#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zanfeld {

// What --settings holds when it is given without a file: the default one.
inline constexpr const char* kDefaultSettingsFile = "-";

enum class CliCommand { Sort, SortFolders, Undo, History, Plans, PlanSave, PlanDelete, Watch };

// What the command line asked for, as typed: every choice that was not
// given is empty, so that the settings file can supply it.
struct CliRequest {
    CliCommand command = CliCommand::Sort;
    // --lang, before the command: "zh" or "en".
    std::optional<std::string> language;

    // Sources, added in this order.
    std::vector<std::string> items;       // files (sort) or folders (sort-folders)
    std::vector<std::string> walks;       // sort --walk
    std::optional<int> depth;             // sort --depth
    bool allLevels = false;               // sort --all
    std::vector<std::string> subfolders;  // sort-folders --subfolders
    std::vector<std::string> lists;       // --list

    // The criterion and its options.
    std::optional<std::string> by;
    std::optional<std::string> keywords;
    std::optional<std::string> range;
    std::optional<std::string> filter;
    bool onlyExisting = false;
    std::optional<std::string> include;
    std::optional<std::string> exclude;
    std::optional<std::string> size;
    std::optional<std::string> date;
    std::optional<std::string> dateOf;
    std::optional<std::string> width;
    std::optional<std::string> height;
    std::optional<std::string> types;
    std::optional<std::string> group;     // --by taken: year, month, year/month, day
    std::optional<std::string> fallback;  // --by taken: name,mtime | name | mtime | none
    std::optional<std::string> unknown;   // --by taken: the folder of files without a date
    bool skipUnknown = false;             // --by taken: files without a date stay

    // Placement.
    bool copy = false;
    bool move = false;
    std::optional<std::string> same;
    std::optional<unsigned> jobs;  // sort: copies prepared at once
    bool yes = false;
    bool no = false;
    std::optional<std::string> out;

    // --settings: the default file when given without a value.
    bool useSettings = false;
    std::string settingsFile;

    bool dryRun = false;
    bool json = false;
    bool quiet = false;

    // --plan: stored plans, in the order given (sort, sort-folders, watch).
    std::vector<std::string> plans;
    // plans save NAME and plans delete NAME; save --folders: a folder plan.
    std::string planName;
    bool planFolders = false;

    // watch: the folders are items; --depth and --all as for --walk.
    double settleSeconds = 10;
    bool noInitial = false;
    bool fromSettings = false;

    // undo and history.
    std::optional<int64_t> run;
    size_t limit = 20;
};

}  // namespace zanfeld
