#include "CliSources.h"

#include <unordered_map>

#include "FileOps.h"
#include "ListFile.h"
#include "MessageTexts.h"
#include "PathNames.h"
#include "PathSpelling.h"
#include "Walks.h"
#include "WholeFile.h"

namespace zanfeld {

namespace {

ChoiceError Refuse(std::string option, std::string message) {
    return ChoiceError{std::move(option), std::move(message)};
}

// Adds what a list file names, each in its one spelling (a list written
// elsewhere may name a file as "./x" or through a link to its folder), so
// that it is listed once beside the same file named otherwise.
std::optional<ChoiceError> ImportResolved(const std::string& path, bool folders, SourceList& list) {
    SourceList read;
    const ListFileResult result =
        ImportListFile(path, read, folders ? ListKind::Folders : ListKind::Files);
    if (!result.ok) return Refuse("--list", "--list: " + result.error);
    // Lists name many files of few folders: each folder is resolved once.
    std::unordered_map<std::string, std::string> resolved;
    for (const std::string& entry : read.entries()) {
        const size_t slash = entry.rfind('/');
        if (slash == std::string::npos || slash == 0 || slash + 1 == entry.size()) {
            list.AddIfAbsent(ResolvedParent(entry));
            continue;
        }
        const std::string folder = entry.substr(0, slash);
        auto found = resolved.find(folder);
        if (found == resolved.end()) found = resolved.emplace(folder, ResolvedFolder(folder)).first;
        list.AddIfAbsent(found->second + entry.substr(slash));
    }
    return std::nullopt;
}

ChoiceError NothingListed(const std::string& file, bool folders, const std::string& cwd) {
    const std::string path = AbsolutePath(file, cwd);
    const std::string none =
        Format(folders ? MessageId::NoFoldersToSort : MessageId::NoFilesToSort);
    std::string data;
    const bool lines =
        ReadWholeFile(path, data, kMaxListFileBytes) == 0 && !SplitListLines(data).empty();
    const MessageId why = !lines    ? MessageId::CliListNoPaths
                          : folders ? MessageId::CliListNoFolders
                                    : MessageId::CliListNoFiles;
    return Refuse("--list", Format(why, {none, path}));
}

}  // namespace

std::optional<ChoiceError> GatherSources(const CliRequest& r, bool folders, const std::string& cwd,
                                         SourceList& list) {
    const char* what = folders ? "FOLDER" : "FILE";
    for (const std::string& item : r.items) {
        const std::string path = ResolvedParent(AbsolutePath(item, cwd));
        if (folders ? !DirExists(path) : !RegularFileExists(path)) {
            std::string message = Format(
                folders ? MessageId::CliNoSuchFolder : MessageId::CliNoSuchFile, {what, path});
            if (!folders && DirExists(path)) message += Format(MessageId::CliFolderNotFile);
            return Refuse(what, message);
        }
        list.AddIfAbsent(path);
    }
    for (const std::string& walk : r.walks) {
        const std::string dir = ResolvedFolder(AbsolutePath(walk, cwd));
        if (!DirExists(dir))
            return Refuse("--walk", Format(MessageId::CliNoSuchFolder, {"--walk", dir}));
        const std::string base = WithTrailingSeparator(dir);
        if (r.allLevels) {
            IndexDisk(list, base);
        } else if (r.depth) {
            IndexDisk2(list, base, *r.depth);
        } else {
            AddFolderFiles(list, base);
        }
    }
    for (const std::string& parent : r.subfolders) {
        const std::string dir = ResolvedFolder(AbsolutePath(parent, cwd));
        if (!DirExists(dir))
            return Refuse("--subfolders",
                          Format(MessageId::CliNoSuchFolder, {"--subfolders", dir}));
        AddSubFolders(list, WithTrailingSeparator(dir));
    }
    for (const std::string& file : r.lists) {
        if (auto error = ImportResolved(AbsolutePath(file, cwd), folders, list)) return error;
    }
    if ((r.depth || r.allLevels) && r.walks.empty())
        return Refuse(r.allLevels ? "--all" : "--depth",
                      std::string(r.allLevels ? "--all" : "--depth") + " goes with --walk DIR");
    // The run would refuse with nothing to sort; a list that gave nothing is
    // most likely why (not a list at all, or one of other paths), so it is named.
    if (list.entries().empty() && !r.lists.empty())
        return NothingListed(r.lists.front(), folders, cwd);
    return std::nullopt;
}

}  // namespace zanfeld
