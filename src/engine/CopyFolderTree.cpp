#include <cerrno>
#include <optional>
#include <vector>

#include "EntryOps.h"
#include "FileOps.h"
#include "FolderCopyError.h"
#include "FolderSort.h"
#include "PathNames.h"
#include "Placement.h"
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
// receives the copy, which the walk must never copy into itself.
class TreeCopy {
  public:
    TreeCopy(SameFilePolicy policy, SortHost& host, FailureLog& failures,
             std::vector<FolderId> skipped)
        : m_policy(policy), m_host(host), m_failures(failures), m_skipped(std::move(skipped)) {}

    void copyEntries(const std::string& source, const std::string& target,
                     const std::vector<DirEntry>& entries) {
        for (const DirEntry& entry : entries) {
            const std::string from = Join(source, entry.name);
            if (entry.isDirectory) {
                // The copy's own output, met when the target lies inside the source.
                if (isSkipped(from)) continue;
                const std::string to = Join(target, entry.name);
                EnsureFolder(to);
                copyEntries(from, to, ListSubFolder(from));
            } else if (entry.isSymlink && !FileExists(from)) {
                // A link to a folder is never followed (it may lead back up
                // the tree); it is copied as a link, as is a dangling one.
                copyLink(from, target, entry.name);
            } else {
                // Files, and links to files, whose content is copied.
                copyFile(from, target, entry.name);
            }
        }
    }

  private:
    bool isSkipped(const std::string& folder) const {
        if (m_skipped.empty()) return false;
        const auto id = FolderIdOf(folder);
        for (const FolderId& skipped : m_skipped)
            if (id == skipped) return true;
        return false;
    }

    void copyFile(const std::string& from, const std::string& folder, const std::string& name) {
        const std::string to = Join(folder, name);
        int error = 0;
        switch (m_policy) {
            case SameFilePolicy::Overwrite:
                error = CopyFileSafe(from, to, Publish::Replace);
                break;
            case SameFilePolicy::Skip:
                error = CopyFileSafe(from, to, Publish::Keep);
                // A file under the name is what Skip keeps; a folder there is a failure.
                if (error == EEXIST && FileExists(to)) error = 0;
                break;
            case SameFilePolicy::Ask:
                error = copyAsking(from, to);
                break;
            case SameFilePolicy::Rename:
                error = copyNumbered(from, folder, name);
                break;
            case SameFilePolicy::EditFileTime:
                error = CopyIfNewer(from, to).error;
                break;
        }
        if (error != 0) m_failures.add(from, error);
    }

    // Asks only when a file is at the target. A file that appears between the
    // test and the copy is not overwritten unasked.
    int copyAsking(const std::string& from, const std::string& to) {
        if (!FileExists(to)) {
            const int error = CopyFileSafe(from, to, Publish::Keep);
            if (error != EEXIST || !FileExists(to)) return error;
        }
        if (!m_host.askOverwrite(to)) return 0;
        return CopyFileSafe(from, to, Publish::Replace);
    }

    // The first free numbered name from the file's own stem, published without
    // replacing; should a file take that name meanwhile, search again.
    int copyNumbered(const std::string& from, const std::string& folder, const std::string& name) {
        int error = 0;
        for (int attempt = 0; attempt < kRaceRetries; ++attempt) {
            const std::string to = Join(folder, FreeNumberedName(folder, name, name));
            error = CopyFileSafe(from, to, Publish::Keep);
            if (error != EEXIST || !FileExists(to)) break;
        }
        return error;
    }

    // A link is recreated with the same text. An identical link already there
    // is the merge's expected outcome; anything else under the name is
    // settled by the policy, and a folder there is never replaced.
    void copyLink(const std::string& from, const std::string& folder, const std::string& name) {
        std::string text;
        if (const int error = ReadLinkText(from, text)) {
            m_failures.add(from, error);
            return;
        }
        const std::string to = Join(folder, name);
        const EntryKind there = EntryKindOf(to);
        std::string existing;
        if (there == EntryKind::Symlink && ReadLinkText(to, existing) == 0 && existing == text)
            return;
        const bool taken = there != EntryKind::Missing && there != EntryKind::Folder;

        int error = 0;
        switch (m_policy) {
            case SameFilePolicy::Overwrite:
                error = MakeSymlink(text, to, Publish::Replace);
                break;
            case SameFilePolicy::Skip:
                if (!taken) error = MakeSymlink(text, to, Publish::Keep);
                break;
            case SameFilePolicy::Ask:
                if (!taken) {
                    error = MakeSymlink(text, to, Publish::Keep);
                } else if (m_host.askOverwrite(to)) {
                    error = MakeSymlink(text, to, Publish::Replace);
                }
                break;
            case SameFilePolicy::Rename:
                error = MakeSymlink(text, Join(folder, FreeNumberedName(folder, name, name)),
                                    Publish::Keep);
                break;
            case SameFilePolicy::EditFileTime: {
                if (!taken) {
                    error = MakeSymlink(text, to, Publish::Keep);
                    break;
                }
                const auto fromTime = EntryTimeOf(from);
                const auto toTime = EntryTimeOf(to);
                if (fromTime && toTime && *fromTime < *toTime) break;  // the newer one stays
                error = MakeSymlink(text, to, Publish::Replace);
                break;
            }
        }
        if (error != 0) m_failures.add(from, error);
    }

    SameFilePolicy m_policy;
    SortHost& m_host;
    FailureLog& m_failures;
    std::vector<FolderId> m_skipped;
};

}  // namespace

// An empty folder lists nothing here (the listing leaves out "." and ".."),
// yet it was listed: it yields an empty target folder and true. Only a source
// that is gone, or is no folder, by the time it is listed gives false, and no
// target is made, the same outcome as for a source that vanished before its
// turn. Any other reason a folder cannot be listed throws FolderCopyError.
bool CopyFolderTree(const std::string& source, const std::string& target, SameFilePolicy policy,
                    SortHost& host, FailureLog& failures, const std::string& alsoSkip) {
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
    TreeCopy copy(policy, host, failures, std::move(skipped));
    copy.copyEntries(source, target, entries);
    return true;
}

}  // namespace zanfeld
