#include "Placement.h"

#include <cerrno>

#include "FileOps.h"
#include "PathNames.h"
#include "SameBytes.h"
#include "UnitPublic.h"

namespace zanfeld {

namespace {

PlaceResult FromError(int error, std::string name, bool replaced = false) {
    PlaceResult r;
    r.status = error == 0 ? PlaceResult::Status::Placed : PlaceResult::Status::Failed;
    r.error = error;
    r.name = std::move(name);
    r.replaced = error == 0 && replaced;
    return r;
}

PlaceResult Declined(std::string name) {
    PlaceResult r;
    r.status = PlaceResult::Status::Declined;
    r.name = std::move(name);
    return r;
}

// A transfer's errno, and whether it replaced a file under the name.
struct Transferred {
    int error = 0;
    bool replaced = false;
};

Transferred Transfer(const SourceFile& source, const TargetFolder& folder, const std::string& name,
                     TransferMode mode, Publish publish, PlacedEntry* placed,
                     PreparedCopy* prepared) {
    Transferred t;
    if (mode == TransferMode::Move) {
        t.error = MoveFileInto(source, folder, name, publish, &t.replaced, placed);
    } else {
        std::string target = name;
        t.error =
            CopyFileInto(source, folder, target, publish, nullptr, &t.replaced, placed, prepared);
    }
    return t;
}

PlaceResult FromTransfer(const Transferred& t, std::string name) {
    return FromError(t.error, std::move(name), t.replaced);
}

// The file under name is the source itself.
bool IsTheSource(const SourceFile& source, const TargetFolder& folder, const std::string& name) {
    const auto id = FileIdOf(source.path());
    return id && IsFileIn(folder, name, *id);
}

// Rename: the first free numbered name, published without replacing. Should a
// file take the chosen name between the search and the publish, search again.
// Only a file under a name moves the search on; anything else there (a
// folder) fails the placement.
PlaceResult PlaceNumbered(const SourceFile& source, const TargetFolder& folder, TransferMode mode,
                          const std::string& start, PlacedEntry* placed, PreparedCopy* prepared) {
    constexpr int kRaceRetries = 16;
    std::string name = start;
    if (mode == TransferMode::Copy) {
        // The copy is published under the start name without looking first;
        // when that is taken, the same copy goes under the numbered name, so
        // the data is copied once.
        // One pointer captured, so that the callback needs no allocation.
        struct Search {
            const SourceFile& source;
            const TargetFolder& folder;
            const std::string& start;
            int searches = 0;
        } search{source, folder, start};
        const std::function<bool(std::string&)> next = [s = &search](std::string& taken) {
            if (++s->searches > kRaceRetries || !FileExistsIn(s->folder, taken)) return false;
            taken = FreeNumberedName(s->folder, s->start, s->source.path());
            return true;
        };
        const int error =
            CopyFileInto(source, folder, name, Publish::Keep, &next, nullptr, placed, prepared);
        return FromError(error, std::move(name));
    }
    // A move that meets a taken name fails without having done anything, so
    // it, too, tries the start name at once and searches only when a file is there.
    int error = 0;
    for (int attempt = 0; attempt < kRaceRetries; ++attempt) {
        if (attempt > 0) name = FreeNumberedName(folder, start, source.path());
        error = MoveFileInto(source, folder, name, Publish::Keep, nullptr, placed);
        if (error != EEXIST || !FileExistsIn(folder, name)) break;
        if (IsTheSource(source, folder, name)) return FromError(0, std::move(name));
    }
    return FromError(error, std::move(name));
}

}  // namespace

bool EnsureFolder(const std::string& folder) {
    // The folder is usually there already: one look, and nothing is made.
    if (DirExists(folder)) return true;
    return MakeDirs(folder) == 0;
}

std::string FreeNumberedName(const TargetFolder& folder, const std::string& start,
                             const std::string& stemSource) {
    if (!FileExistsIn(folder, start)) return start;
    const std::string stem = BaseNameOf(stemSource);
    const std::string ext = ExtensionOf(FileNameOf(stemSource));
    for (unsigned long long n = 1;; ++n) {
        std::string candidate = stem + "_" + std::to_string(n) + ext;
        if (!FileExistsIn(folder, candidate)) return candidate;
    }
}

PlaceResult FailedPlacement(int error, std::string name) {
    return FromError(error != 0 ? error : EIO, std::move(name));
}

PlaceResult PlaceFile(const SourceFile& source, const TargetFolder& folder, TransferMode mode,
                      SameFilePolicy policy, SortHost& host, const std::string& renameStart,
                      PlacedEntry* placed, PreparedCopy* prepared) {
    std::string name = FileNameOf(source.path());
    const bool copy = mode == TransferMode::Copy;

    switch (policy) {
        case SameFilePolicy::Ask:
            if (FileExistsIn(folder, name)) {
                // Nothing to ask about a file that is already where it belongs.
                if (IsTheSource(source, folder, name)) return FromError(0, std::move(name));
                if (!host.askReplace(folder.pathOf(name), source.path()))
                    return Declined(std::move(name));
                const Transferred t =
                    Transfer(source, folder, name, mode, Publish::Replace, placed, prepared);
                return FromTransfer(t, std::move(name));
            }
            return FromTransfer(Transfer(source, folder, name, mode,
                                         copy ? Publish::Replace : Publish::Keep, placed, prepared),
                                name);

        case SameFilePolicy::Rename:
            return PlaceNumbered(source, folder, mode, renameStart.empty() ? name : renameStart,
                                 placed, prepared);

        case SameFilePolicy::Overwrite:
            return FromTransfer(
                Transfer(source, folder, name, mode, Publish::Replace, placed, prepared), name);

        case SameFilePolicy::Skip: {
            const int error =
                Transfer(source, folder, name, mode, Publish::Keep, placed, prepared).error;
            // A file under the name is the policy's own choice; anything else there is a failure.
            if (error == EEXIST && FileExistsIn(folder, name)) {
                return IsTheSource(source, folder, name) ? FromError(0, name) : Declined(name);
            }
            return FromError(error, name);
        }

        case SameFilePolicy::EditFileTime: {
            const TransferResult r =
                copy ? CopyIfNewer(source, folder, name) : MoveIfNewer(source, folder, name);
            if (r.error != 0) return FromError(r.error, name);
            return r.made ? FromError(0, name, r.replaced) : Declined(name);
        }

        case SameFilePolicy::Identical:
            // The same bytes under the name: the file is there already, and a
            // moved one stays where it is. Anything else there is kept beside.
            if (IsTheSource(source, folder, name)) return FromError(0, std::move(name));
            if (SameBytesIn(source, folder, name)) return Declined(std::move(name));
            return PlaceNumbered(source, folder, mode, renameStart.empty() ? name : renameStart,
                                 placed, prepared);
    }
    return FromError(EINVAL, name);
}

PlaceResult PlaceFile(const std::string& source, const std::string& targetFolder, TransferMode mode,
                      SameFilePolicy policy, SortHost& host, const std::string& renameStart) {
    TargetFolder folder;
    if (const int error = folder.open(targetFolder)) return FromError(error, FileNameOf(source));
    return PlaceFile(SourceFile(source), folder, mode, policy, host, renameStart);
}

}  // namespace zanfeld
