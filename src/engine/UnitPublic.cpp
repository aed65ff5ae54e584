#include "UnitPublic.h"

#include <cerrno>
#include <optional>

#include "FileOps.h"

namespace zanfeld {

namespace {

// The two files compared: the source, and the target when one is there
// (target stays empty for a missing one). A time that cannot be read decides
// nothing: the error is returned, so the file is counted rather than
// silently kept or blindly replaced. A device, pipe or socket is never
// opened; its time is not compared either.
int Compare(const SourceFile& source, const TargetFolder& folder, const std::string& name,
            FileFacts& from, std::optional<FileFacts>& target) {
    if (const int e = LookAtFile(source, from)) return e;
    FileFacts there;
    const int e = LookAtFileIn(folder, name, there);
    if (e == ENOENT) return 0;  // a missing target counts as older
    if (e != 0) return e;
    target = there;
    return 0;
}

}  // namespace

TransferResult CopyIfNewer(const SourceFile& source, const TargetFolder& folder,
                           const std::string& name) {
    FileFacts from;
    std::optional<FileFacts> target;
    if (const int e = Compare(source, folder, name, from, target)) return {false, e};
    if (target && target->id == from.id) return {false, 0};  // the file itself
    const Publish publish =
        target && from.lastWrite < target->lastWrite ? Publish::Keep : Publish::Replace;
    std::string placed = name;
    bool replaced = false;
    const int error = CopyFileInto(source, folder, placed, publish, nullptr, &replaced);
    if (error == EEXIST && publish == Publish::Keep && FileExistsIn(folder, name))
        return {false, 0};
    return {error == 0, error, replaced};
}

TransferResult MoveIfNewer(const SourceFile& source, const TargetFolder& folder,
                           const std::string& name) {
    FileFacts from;
    std::optional<FileFacts> target;
    if (const int e = Compare(source, folder, name, from, target)) return {false, e};
    if (target && (target->id == from.id || !(from.lastWrite > target->lastWrite)))
        return {false, 0};
    bool replaced = false;
    const int error = MoveFileInto(source, folder, name, Publish::Replace, &replaced);
    return {error == 0, error, replaced};
}

TransferResult CopyIfNewer(const std::string& source, const std::string& target) {
    TargetFolder folder;
    std::string name;
    if (const int e = folder.openFolderOf(target, name)) return {false, e};
    return CopyIfNewer(SourceFile(source), folder, name);
}

TransferResult MoveIfNewer(const std::string& source, const std::string& target) {
    TargetFolder folder;
    std::string name;
    if (const int e = folder.openFolderOf(target, name)) return {false, e};
    return MoveIfNewer(SourceFile(source), folder, name);
}

}  // namespace zanfeld
