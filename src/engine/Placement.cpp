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
// Only a file under a name moves the search on; anything else there (a
// folder) fails the placement.
PlaceResult PlaceNumbered(const std::string& source, const std::string& folder, TransferMode mode,
                          const std::string& start) {
    constexpr int kRaceRetries = 16;
    std::string name = start;
    if (mode == TransferMode::Copy) {
        // The copy is published under the start name without looking first;
        // when that is taken, the same copy goes under the numbered name, so
        // the data is copied once.
        std::string target = folder + kPathSeparator + start;
        int searches = 0;
        const int error = CopyFileSafeFirstFree(source, target, [&](std::string& taken) {
            if (++searches > kRaceRetries || !FileExists(taken)) return false;
            name = FreeNumberedName(folder, start, source);
            taken = folder + kPathSeparator + name;
            return true;
        });
        return FromError(error, name);
    }
    // A move that meets a taken name fails without having done anything, so
    // it, too, tries the start name at once and searches only when a file is there.
    int error = 0;
    for (int attempt = 0; attempt < kRaceRetries; ++attempt) {
        if (attempt > 0) name = FreeNumberedName(folder, start, source);
        const std::string target = folder + kPathSeparator + name;
        error = Transfer(source, target, mode, Publish::Keep);
        if (error != EEXIST || !FileExists(target)) break;
    }
    return FromError(error, name);
}

}  // namespace

bool EnsureFolder(const std::string& folder) {
    // The folder is usually there already: one look, and nothing is made.
    if (DirExists(folder)) return true;
    return MakeDirs(folder) == 0;
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
