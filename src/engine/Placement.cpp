#include "Placement.h"

#include <cerrno>

#include "FileOps.h"
#include "PathNames.h"
#include "UnitPublic.h"

namespace zanfeld {

namespace {

PlaceResult FromError(int error, std::string name) {
    PlaceResult r;
    r.status = error == 0 ? PlaceResult::Status::Placed : PlaceResult::Status::Failed;
    r.error = error;
    r.name = std::move(name);
    return r;
}

PlaceResult Declined(std::string name) {
    PlaceResult r;
    r.status = PlaceResult::Status::Declined;
    r.name = std::move(name);
    return r;
}

int Transfer(const std::string& source, const std::string& target, TransferMode mode, Publish publish) {
    return mode == TransferMode::Copy ? CopyFileSafe(source, target, publish)
                                      : MoveFileSafe(source, target, publish);
}

// Rename: the first free numbered name, published without replacing. Should a
// file take the chosen name between the search and the publish, search again.
PlaceResult PlaceNumbered(const std::string& source, const std::string& folder, TransferMode mode,
                          const std::string& start) {
    constexpr int kRaceRetries = 16;
    std::string name;
    int error = 0;
    for (int attempt = 0; attempt < kRaceRetries; ++attempt) {
        name = FreeNumberedName(folder, start, source);
        const std::string target = folder + kPathSeparator + name;
        error = Transfer(source, target, mode, Publish::Keep);
        if (error != EEXIST || !FileExists(target)) break;
    }
    return FromError(error, name);
}

}  // namespace

void EnsureFolder(const std::string& folder) {
    MakeDirs(folder);
}

std::string FreeNumberedName(const std::string& folder, const std::string& start,
                             const std::string& stemSource) {
    const std::string prefix = folder + kPathSeparator;
    if (!FileExists(prefix + start)) return start;
    const std::string stem = BaseNameOf(stemSource);
    const std::string ext = ExtensionOf(FileNameOf(stemSource));
    for (unsigned long long n = 1;; ++n) {
        std::string candidate = stem + "_" + std::to_string(n) + ext;
        if (!FileExists(prefix + candidate)) return candidate;
    }
}

PlaceResult PlaceFile(const std::string& source, const std::string& targetFolder, TransferMode mode,
                      SameFilePolicy policy, SortHost& host, const std::string& renameStart) {
    const std::string name = FileNameOf(source);
    const std::string target = targetFolder + kPathSeparator + name;
    const bool copy = mode == TransferMode::Copy;

    switch (policy) {
        case SameFilePolicy::Ask:
            if (FileExists(target)) {
                if (!host.askOverwrite(target)) return Declined(name);
                return FromError(Transfer(source, target, mode, Publish::Replace), name);
            }
            return FromError(Transfer(source, target, mode, copy ? Publish::Replace : Publish::Keep), name);

        case SameFilePolicy::Rename:
            return PlaceNumbered(source, targetFolder, mode, renameStart.empty() ? name : renameStart);

        case SameFilePolicy::Overwrite:
            return FromError(Transfer(source, target, mode, Publish::Replace), name);

        case SameFilePolicy::Skip: {
            const int error = Transfer(source, target, mode, Publish::Keep);
            // A file under the name is the policy's own choice; anything else there is a failure.
            if (error == EEXIST && FileExists(target)) return Declined(name);
            return FromError(error, name);
        }

        case SameFilePolicy::EditFileTime: {
            const TransferResult r = copy ? CopyIfNewer(source, target) : MoveIfNewer(source, target);
            if (r.error != 0) return FromError(r.error, name);
            return r.made ? FromError(0, name) : Declined(name);
        }
    }
    return FromError(EINVAL, name);
}

}  // namespace zanfeld
