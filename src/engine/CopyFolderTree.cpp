#include <cerrno>
#include <functional>
#include <optional>
#include <vector>

#include "EntryOps.h"
#include "FileOps.h"
#include "FolderCopyError.h"
#include "FolderSort.h"
#include "MessageTexts.h"
#include "PathNames.h"
#include "Placement.h"
#include "RunPlanner.h"
#include "SameBytes.h"
#include "SortRunFrame.h"
#include "TargetFolder.h"
#include "UnitPublic.h"

namespace zanfeld {

namespace {

constexpr int kRaceRetries = 16;

// folder + separator + name; a folder that already ends in the separator (a
// root such as "/") gets no second one.
std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;
    return folder + kPathSeparator + name;
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == kPathSeparator) path.pop_back();
    return path;
}

// The folder above path (given without trailing separators); "" above a
// relative single name or the root.
std::string ParentFolder(const std::string& path) {
    const size_t slash = path.find_last_of(kPathSeparator);
    if (slash == std::string::npos || path.size() == 1) return {};
    size_t end = slash;
    while (end > 0 && path[end - 1] == kPathSeparator) --end;
    return end == 0 ? std::string(1, kPathSeparator) : path.substr(0, end);
}

// The folder that holds everything this copy will create: the target itself
// when it is already there, otherwise its outermost missing ancestor.
std::string OutermostNewFolder(const std::string& target) {
    std::string path = WithoutTrailingSeparators(target);
    if (EntryKindOf(path) != EntryKind::Missing) return path;
    for (;;) {
        const std::string parent = ParentFolder(path);
        if (parent.empty() || parent == path || EntryKindOf(parent) != EntryKind::Missing)
            return path;
        path = parent;
    }
}

// The entries of a folder in the order the file system lists them. Taken in
// full before anything is copied, so that what the copy creates (when the
// target lies inside the source) never turns up in the listing being walked.
int ListFolder(const std::string& folder, std::vector<DirEntry>& entries) {
    entries.clear();
    return ForEachDirEntry(folder, [&](const DirEntry& e) { entries.push_back(e); });
}

// A sub-folder that cannot be entered ends the whole run.
std::vector<DirEntry> ListSubFolder(const std::string& folder) {
    std::vector<DirEntry> entries;
    if (const int error = ListFolder(folder, entries)) throw FolderCopyError(folder, error);
    return entries;
}

// One tree copy: the policy, where to ask and count, and the folder that
// receives the copy, which the walk must never copy into itself. The target
// side is walked through folder descriptors, each sub-folder opened without
// following a symlink: a link met in the target (one this copy made itself,
// from an earlier source of the same name) is never descended or written
// through.
class TreeCopy {
  public:
    TreeCopy(SameFilePolicy policy, SortHost& host, FailureLog& failures,
             std::vector<FolderId> skipped, SortRunFrame* frame)
        : m_policy(policy),
          m_host(host),
          m_failures(failures),
          m_skipped(std::move(skipped)),
          m_frame(frame) {}

    void copyEntries(const std::string& source, const TargetFolder& target,
                     const std::vector<DirEntry>& entries) {
        for (const DirEntry& entry : entries) {
            if (m_stopped || (m_frame && m_frame->stopRequested())) {
                m_stopped = true;
                return;
            }
            const std::string from = Join(source, entry.name);
            if (entry.isDirectory) {
                // The copy's own output, met when the target lies inside the source.
                if (isSkipped(from)) continue;
                TargetFolder sub;
                int error = MakeDirIn(target, entry.name);
                if (error == 0) error = sub.openChild(target, entry.name);
                if (error != 0) {
                    failTree(from, target.pathOf(entry.name), error);
                    continue;
                }
                copyEntries(from, sub, ListSubFolder(from));
            } else if (entry.isSymlink && !FileExists(from)) {
                // A link to a folder is never followed (it may lead back up
                // the tree); it is copied as a link, as is a dangling one.
                copyLink(from, target, entry.name);
            } else {
                // Files, and links to files, whose content is copied. Devices,
                // pipes and sockets are never opened: the copy refuses them
                // and they are counted.
                copyFile(from, target, entry.name);
            }
        }
    }

    // Nothing of the folder from can be copied to to: every file below it is
    // counted with the reason (the folder itself when it holds none).
    void failTree(const std::string& from, const std::string& to, int error) {
        const std::string reason =
            error == ELOOP || error == ENOTDIR || error == EEXIST
                ? Format(MessageId::TargetTaken, {to})
                : Format(MessageId::CannotMakeFolder, {to, ReasonText(error)});
        const size_t before = m_failures.count();
        countFiles(from, reason);
        if (m_failures.count() == before) m_failures.add(from, reason);
    }

    // The user stopped the run during this copy.
    bool stopped() const { return m_stopped; }

  private:
    void countFiles(const std::string& folder, const std::string& reason) {
        std::vector<DirEntry> entries;
        if (ListFolder(folder, entries) != 0) return;
        for (const DirEntry& entry : entries) {
            const std::string path = Join(folder, entry.name);
            if (entry.isDirectory)
                countFiles(path, reason);
            else
                m_failures.add(path, reason);
        }
    }

    bool isSkipped(const std::string& folder) const {
        if (m_skipped.empty()) return false;
        const auto id = FolderIdOf(folder);
        for (const FolderId& skipped : m_skipped)
            if (id == skipped) return true;
        return false;
    }

    void copyFile(const std::string& from, const TargetFolder& folder, const std::string& name) {
        int64_t record = 0;
        if (m_frame) {
            m_frame->file(from);
            if (m_frame->recording())
                record = m_frame->intend(from, folder.pathOf(name), TransferMode::Copy);
        }
        int error = 0;
        FileOutcome outcome = FileOutcome::Placed;
        std::string to = name;
        bool replaced = false;
        // What the copy knows of what it left spares the record a look.
        PlacedEntry placed;
        PlacedEntry* const told = m_frame && m_frame->recording() ? &placed : nullptr;
        switch (m_policy) {
            case SameFilePolicy::Overwrite:
                error = CopyFileInto(from, folder, to, Publish::Replace, nullptr, &replaced, told);
                break;
            case SameFilePolicy::Skip:
                error = CopyFileInto(from, folder, to, Publish::Keep, nullptr, nullptr, told);
                // A file under the name is what Skip keeps; a folder there is a failure.
                if (error == EEXIST && FileExistsIn(folder, name)) {
                    error = 0;
                    outcome = FileOutcome::Skipped;
                }
                break;
            case SameFilePolicy::Ask:
                error = copyAsking(from, folder, name, outcome);
                break;
            case SameFilePolicy::Rename:
                error = copyNumbered(from, folder, name, to, told);
                if (to != name) outcome = FileOutcome::Renamed;
                break;
            case SameFilePolicy::EditFileTime: {
                const TransferResult r = CopyIfNewer(from, folder, name);
                error = r.error;
                replaced = r.replaced;
                if (!r.made) outcome = FileOutcome::Skipped;
                break;
            }
            case SameFilePolicy::Identical:
                // The file itself under the name is where it belongs; a copy of
                // its bytes there is kept and this one skipped; else as Rename.
                if (const auto id = FileIdOf(from); id && IsFileIn(folder, name, *id)) break;
                if (SameBytesIn(from, folder, name)) {
                    outcome = FileOutcome::Skipped;
                    break;
                }
                error = copyNumbered(from, folder, name, to, told);
                if (to != name) outcome = FileOutcome::Renamed;
                break;
        }
        if (replaced) outcome = FileOutcome::Overwritten;
        if (m_frame && m_frame->recording())
            m_frame->done(record, Record(folder, to, error, outcome, placed));
        if (error == ECANCELED) {
            // Stopped by the user inside the copy: nothing of it is left.
            m_stopped = true;
            return;
        }
        if (error != 0) {
            m_failures.add(from, error, folder.path());
            return;
        }
        if (m_frame) m_frame->count(outcome);
    }

    // What one copy came to, for the run's record: the copy as it was
    // left, looked at where the copy could not tell.
    static PlacementRecord Record(const TargetFolder& folder, const std::string& name, int error,
                                  FileOutcome outcome, const PlacedEntry& placed = {}) {
        PlacementRecord record;
        record.target = folder.pathOf(name);
        record.error = error;
        record.outcome = error != 0 ? FileOutcome::Failed : outcome;
        if (error != 0 || outcome == FileOutcome::Skipped) return record;
        FileFacts looked;
        const FileFacts* facts = placed.known ? &placed.facts : nullptr;
        if (!facts && LookAtEntryIn(folder, name, looked) == 0) facts = &looked;
        if (facts) {
            record.size = facts->size;
            record.mtimeSec = facts->lastWrite.sec;
            record.mtimeNsec = facts->lastWrite.nsec;
            record.device = facts->id.device;
            record.inode = facts->id.inode;
        }
        return record;
    }

    // Asks only when a file is at the target, and never about the source
    // itself. A file that appears between the test and the copy is not
    // overwritten unasked.
    int copyAsking(const std::string& from, const TargetFolder& folder, const std::string& name,
                   FileOutcome& outcome) {
        std::string to = name;
        if (!FileExistsIn(folder, name)) {
            const int error = CopyFileInto(from, folder, to, Publish::Keep);
            if (error != EEXIST || !FileExistsIn(folder, name)) return error;
        }
        const auto id = FileIdOf(from);
        if (id && IsFileIn(folder, name, *id)) return 0;
        if (!m_host.askReplace(folder.pathOf(name), from)) {
            outcome = FileOutcome::Skipped;
            return 0;
        }
        bool replaced = false;
        const int error = CopyFileInto(from, folder, to, Publish::Replace, nullptr, &replaced);
        if (replaced) outcome = FileOutcome::Overwritten;
        return error;
    }

    // The file's own name first, then the first free numbered name from its
    // own stem, published without replacing; should a file take that name
    // meanwhile, search again. The data is copied once. to: the name used.
    int copyNumbered(const std::string& from, const TargetFolder& folder, const std::string& name,
                     std::string& to, PlacedEntry* placed) {
        int searches = 0;
        const std::function<bool(std::string&)> next = [&](std::string& taken) {
            if (++searches > kRaceRetries || !FileExistsIn(folder, taken)) return false;
            taken = FreeNumberedName(folder, name, name);
            return true;
        };
        to = name;
        return CopyFileInto(from, folder, to, Publish::Keep, &next, nullptr, placed);
    }

    // A link is recreated with the same text. An identical link already there
    // is the merge's expected outcome; anything else under the name is
    // settled by the policy, as for a file, and a folder there is never
    // replaced. Recorded like a file, so that undo takes it away again.
    void copyLink(const std::string& from, const TargetFolder& folder, const std::string& name) {
        std::string text;
        if (const int error = ReadLinkText(from, text)) {
            m_failures.add(from, error);
            return;
        }
        const EntryKind there = EntryKindIn(folder, name);
        std::string existing;
        if (there == EntryKind::Symlink && ReadLinkTextIn(folder, name, existing) == 0 &&
            existing == text)
            return;
        const bool taken = there != EntryKind::Missing && there != EntryKind::Folder;

        int64_t record = 0;
        if (m_frame && m_frame->recording())
            record = m_frame->intend(from, folder.pathOf(name), TransferMode::Copy);
        int error = 0;
        std::string to = name;
        bool replaced = false;
        FileOutcome outcome = FileOutcome::Placed;
        switch (m_policy) {
            case SameFilePolicy::Overwrite:
                error = MakeSymlinkIn(text, folder, name, Publish::Replace, &replaced);
                break;
            case SameFilePolicy::Skip:
                if (taken)
                    outcome = FileOutcome::Skipped;
                else
                    error = MakeSymlinkIn(text, folder, name, Publish::Keep);
                break;
            case SameFilePolicy::Ask:
                if (!taken) {
                    error = MakeSymlinkIn(text, folder, name, Publish::Keep);
                } else if (m_host.askReplace(folder.pathOf(name), from)) {
                    error = MakeSymlinkIn(text, folder, name, Publish::Replace, &replaced);
                } else {
                    outcome = FileOutcome::Skipped;
                }
                break;
            case SameFilePolicy::Rename:
            case SameFilePolicy::Identical:  // a link holds no bytes to compare
                to = FreeNumberedName(folder, name, name);
                error = MakeSymlinkIn(text, folder, to, Publish::Keep);
                if (to != name) outcome = FileOutcome::Renamed;
                break;
            case SameFilePolicy::EditFileTime: {
                if (!taken) {
                    error = MakeSymlinkIn(text, folder, name, Publish::Keep);
                    break;
                }
                const auto fromTime = EntryTimeOf(from);
                const auto toTime = EntryTimeIn(folder, name);
                if (fromTime && toTime && *fromTime < *toTime) {
                    outcome = FileOutcome::Skipped;  // the newer one stays
                    break;
                }
                error = MakeSymlinkIn(text, folder, name, Publish::Replace, &replaced);
                break;
            }
        }
        if (replaced) outcome = FileOutcome::Overwritten;
        if (record != 0) m_frame->done(record, Record(folder, to, error, outcome));
        if (error != 0) m_failures.add(from, error, folder.path());
    }

    SameFilePolicy m_policy;
    SortHost& m_host;
    FailureLog& m_failures;
    std::vector<FolderId> m_skipped;
    SortRunFrame* m_frame;
    bool m_stopped = false;
};

// A preview of the copy of the tree at from into to: each file planned as
// the copy would place it, nothing written; a link to a folder or a dangling
// one, which the run copies as a link, too.
void PlanTree(RunPlanner& planner, const std::string& from, const std::string& to,
              SameFilePolicy policy, const std::vector<FolderId>& skipped,
              const std::vector<DirEntry>& entries) {
    for (const DirEntry& entry : entries) {
        const std::string path = Join(from, entry.name);
        if (entry.isDirectory) {
            const auto id = FolderIdOf(path);
            bool skip = false;
            for (const FolderId& s : skipped) skip = skip || id == s;
            if (!skip)
                PlanTree(planner, path, to + kPathSeparator + entry.name, policy, skipped,
                         ListSubFolder(path));
        } else if (!entry.isSymlink || FileExists(path)) {
            planner.place(path, to, TransferMode::Copy, policy);
        } else {
            planner.placeLink(path, to, policy);
        }
    }
}

// Opens the folder that receives a tree: the folders above it are followed
// as the user made them (the output directory may well be a link); the
// tree's own folder is never a link.
int OpenTreeRoot(const std::string& target, TargetFolder& root) {
    const std::string path = WithoutTrailingSeparators(target);
    const std::string parent = ParentFolder(path);
    const std::string leaf =
        parent.empty() ? path : path.substr(path.find_last_of(kPathSeparator) + 1);
    if (parent.empty() || !IsPlainName(leaf)) return root.open(path);
    TargetFolder above;
    if (const int e = above.open(parent)) return e;
    return root.openChild(above, leaf);
}

}  // namespace

// An empty folder lists nothing here (the listing leaves out "." and ".."),
// yet it was listed: it yields an empty target folder and true. Only a source
// that is gone, or is no folder, by the time it is listed gives false, and no
// target is made, the same outcome as for a source that vanished before its
// turn. Any other reason a folder cannot be listed throws FolderCopyError.
bool CopyFolderTree(const std::string& source, const std::string& target, SameFilePolicy policy,
                    SortHost& host, FailureLog& failures, const std::string& alsoSkip,
                    SortRunFrame* frame) {
    // Listed before the target exists, so a target inside the source is not
    // part of this listing.
    std::vector<DirEntry> entries;
    if (const int error = ListFolder(source, entries)) {
        if (error == ENOENT || error == ENOTDIR) return false;
        throw FolderCopyError(source, error);
    }
    const std::string outermost = OutermostNewFolder(target);
    EnsureFolder(target);
    // Everything the copy creates lies in outermost; when that is inside the
    // source the walk leaves it out, whatever name the walk meets it under.
    std::vector<FolderId> skipped;
    for (const std::string& folder : {outermost, alsoSkip}) {
        if (folder.empty()) continue;
        if (const auto id = FolderIdOf(folder)) skipped.push_back(*id);
    }
    if (RunPlanner* planner = frame ? frame->planner() : nullptr) {
        PlanTree(*planner, source, WithoutTrailingSeparators(target), policy, skipped, entries);
        return true;
    }
    TreeCopy copy(policy, host, failures, std::move(skipped), frame);
    TargetFolder root;
    if (const int error = OpenTreeRoot(target, root)) {
        copy.failTree(source, WithoutTrailingSeparators(target), error);
        return true;
    }
    copy.copyEntries(source, root, entries);
    return true;
}

}  // namespace zanfeld
