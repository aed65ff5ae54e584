#include "CliSources.h"

#include "FileOps.h"
#include "ListFile.h"
#include "PathNames.h"
#include "Walks.h"

namespace zanfeld {

namespace {

ChoiceError Refuse(std::string option, std::string message) {
    return ChoiceError{std::move(option), std::move(message)};
}

}  // namespace

std::optional<ChoiceError> GatherSources(const CliRequest& r, bool folders, const std::string& cwd,
                                         SourceList& list) {
    const char* what = folders ? "FOLDER" : "FILE";
    for (const std::string& item : r.items) {
        const std::string path = AbsolutePath(item, cwd);
        if (folders ? !DirExists(path) : !RegularFileExists(path)) {
            std::string message =
                std::string(what) + ": there is no " + (folders ? "folder " : "file ") + path;
            if (!folders && DirExists(path)) message += " (a folder: add its files with --walk)";
            return Refuse(what, message);
        }
        list.AddIfAbsent(path);
    }
    for (const std::string& walk : r.walks) {
        const std::string dir = AbsolutePath(walk, cwd);
        if (!DirExists(dir)) return Refuse("--walk", "--walk: there is no folder " + dir);
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
        const std::string dir = AbsolutePath(parent, cwd);
        if (!DirExists(dir))
            return Refuse("--subfolders", "--subfolders: there is no folder " + dir);
        AddSubFolders(list, WithTrailingSeparator(dir));
    }
    for (const std::string& file : r.lists) {
        const std::string path = AbsolutePath(file, cwd);
        const ListFileResult result =
            ImportListFile(path, list, folders ? ListKind::Folders : ListKind::Files);
        if (!result.ok) return Refuse("--list", "--list: " + result.error);
    }
    if ((r.depth || r.allLevels) && r.walks.empty())
        return Refuse(r.allLevels ? "--all" : "--depth",
                      std::string(r.allLevels ? "--all" : "--depth") + " goes with --walk DIR");
    return std::nullopt;
}

}  // namespace zanfeld
