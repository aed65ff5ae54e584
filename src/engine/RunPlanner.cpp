#include "RunPlanner.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "MessageTexts.h"
#include "PathNames.h"
#include "SameBytes.h"
#include "Sys.h"

namespace zanfeld {

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;
    return folder + kPathSeparator + name;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of(kPathSeparator);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The text of the link at path, "" when it cannot be read.
std::string LinkText(const std::string& path) {
    char text[4096];
    const ssize_t n = sys().readlink(path.c_str(), text, sizeof text);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof text) return {};
    return std::string(text, static_cast<size_t>(n));
}

std::optional<FileTime> OwnTime(const std::string& path) {
    struct stat st;
    if (sys().lstat(path.c_str(), &st) != 0) return std::nullopt;
    return FileTime{static_cast<int64_t>(st.st_mtim.tv_sec),
                    static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

}  // namespace

RunPlanner::Entry RunPlanner::Filled(const struct stat& st) {
    Entry entry;
    entry.present = true;
    entry.folder = S_ISDIR(st.st_mode);
    entry.regular = S_ISREG(st.st_mode);
    entry.time =
        FileTime{static_cast<int64_t>(st.st_mtim.tv_sec), static_cast<int64_t>(st.st_mtim.tv_nsec)};
    entry.id = FileId::Of(st);
    return entry;
}

RunPlanner::Entry RunPlanner::through(const std::string& link, const std::string& folder) const {
    Entry entry;
    entry.present = true;
    entry.link = true;
    const std::string text = LinkText(link);
    if (text.empty()) return entry;
    const std::string led = text[0] == kPathSeparator ? text : Join(folder, text);
    struct stat st;
    const Folder& ledFolder = folderAt(FolderOf(led));
    if (auto e = ledFolder.overlay.find(FileNameOf(led)); e != ledFolder.overlay.end()) {
        if (e->second.present) entry = e->second;
        entry.link = true;
        return entry;
    }
    if (sys().stat(led.c_str(), &st) != 0) return entry;
    entry = Filled(st);
    entry.link = true;
    entry.bytes = led;
    return entry;
}

bool RunPlanner::SameBytesAs(const Entry& from, const Entry& there) {
    if (!from.present || !there.present || from.link || there.link || !from.regular ||
        !there.regular || from.bytes.empty() || there.bytes.empty())
        return false;
    return SameBytes(from.bytes, there.bytes);
}

void RunPlanner::placeLink(const std::string& source, const std::string& folder,
                           SameFilePolicy policy) {
    const std::string own = FileNameOf(source);
    const Entry there = look(folder, own);
    if (there.present && there.folder) {
        refused(source, folder, Format(MessageId::TargetTaken, {Join(folder, own)}));
        return;
    }
    const std::string text = LinkText(source);
    // The same link there already is what the merge leaves.
    if (there.link && !folderAt(folder).overlay.count(own) && LinkText(Join(folder, own)) == text)
        return add(source, folder, own, PlanAction::Copy, Format(MessageId::AlreadyInPlace));
    Entry link;
    link.present = true;
    link.link = true;
    auto placed = [&](const std::string& name, PlanAction action, std::string detail = {}) {
        add(source, folder, name, action, std::move(detail));
        take(folder, name, link);
    };
    if (!there.present) return placed(own, PlanAction::Copy);
    switch (policy) {
        case SameFilePolicy::Ask:
            return add(source, folder, own, PlanAction::Ask);
        case SameFilePolicy::Rename:
        case SameFilePolicy::Identical: {  // a link holds no bytes to compare
            const std::string name = freeNumberedName(folder, own, own, there);
            return placed(name, PlanAction::Renamed, name);
        }
        case SameFilePolicy::Overwrite:
            return placed(own, PlanAction::Overwrite);
        case SameFilePolicy::Skip:
            return add(source, folder, own, PlanAction::SkipSameName);
        case SameFilePolicy::EditFileTime: {
            const auto from = OwnTime(source);
            const auto to = OwnTime(Join(folder, own));
            if (from && to && *from < *to) return add(source, folder, own, PlanAction::NewerKeep);
            return placed(own, PlanAction::NewerReplace);
        }
    }
}

void RunPlanner::notSelected(const std::string& source) {
    m_plan.rows.push_back(PlanRow{source, {}, {}, PlanAction::NotSelected, {}});
}

void RunPlanner::refused(const std::string& source, const std::string& folder,
                         const std::string& reason) {
    m_plan.rows.push_back(PlanRow{source, folder, {}, PlanAction::Refused, reason});
}

void RunPlanner::add(const std::string& source, const std::string& folder, const std::string& name,
                     PlanAction action, std::string detail) {
    m_plan.rows.push_back(PlanRow{source, folder, Join(folder, name), action, std::move(detail)});
}

void RunPlanner::Fill(Entry& entry) {
    if (!entry.lazyTime && !entry.lazyId) return;
    struct stat st;
    if (sys().lstat(entry.bytes.c_str(), &st) == 0) {
        if (entry.lazyTime) entry.time = Filled(st).time;
        if (entry.lazyId) entry.id = FileId::Of(st);
    }
    entry.lazyTime = entry.lazyId = false;
}

RunPlanner::Folder& RunPlanner::folderAt(const std::string& path) const {
    for (const auto& [key, folder] : m_recent)
        if (key && *key == path) return *folder;
    auto& [key, folder] = *m_folders.try_emplace(path).first;
    m_recent[1] = m_recent[0];
    m_recent[0] = {&key, &folder};
    return folder;
}

const RunPlanner::Listing* RunPlanner::listing(const std::string& path, Folder& folder) const {
    Listing& listed = folder.listing;
    if (listed.read) return &listed;
    if (++listed.looks <= m_looksBeforeListing) return nullptr;
    if (m_looksBeforeListing > 0) {
        // A folder's size grows by 20 to 40 bytes a name on the file systems
        // that are read (and a missing one is read at once: it lists nothing).
        constexpr int64_t kBytesPerLook = 16 * 24;
        struct stat st;
        if (listed.size < 0)
            listed.size = sys().stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
        if (listed.looks * kBytesPerLook < listed.size) return nullptr;
    }
    listed.read = true;
    const int e = ForEachExactDirEntry(path, [&](const DirEntry& entry) {
        using Kind = Listing::Kind;
        listed.names.emplace(entry.name, entry.isDirectory ? Kind::Folder
                                         : entry.isSymlink ? Kind::Link
                                         : entry.isRegular ? Kind::Regular
                                                           : Kind::Other);
    });
    // No folder there: no name is there either.
    listed.exact = e == 0 || e == ENOENT || e == ENOTDIR;
    if (!listed.exact) listed.names.clear();
    return &listed;
}

RunPlanner::Entry RunPlanner::look(const std::string& folder, const std::string& name) const {
    Folder& known = folderAt(folder);
    if (auto e = known.overlay.find(name); e != known.overlay.end()) return e->second;
    const Listing* listed = listing(folder, known);
    if (listed && listed->exact) {
        const auto it = listed->names.find(name);
        if (it == listed->names.end()) return Entry{};
        if (it->second != Listing::Kind::Link) {
            Entry entry;
            entry.present = true;
            entry.folder = it->second == Listing::Kind::Folder;
            entry.regular = it->second == Listing::Kind::Regular;
            entry.lazyTime = entry.lazyId = true;
            entry.bytes = Join(folder, name);
            return entry;
        }
    }
    struct stat st;
    const std::string path = Join(folder, name);
    // As the run looks: a link counts by what it leads to, and a dangling
    // one takes the name all the same.
    if (sys().lstat(path.c_str(), &st) != 0) return Entry{};
    if (S_ISLNK(st.st_mode)) return through(path, folder);
    Entry entry = Filled(st);
    entry.bytes = path;
    return entry;
}

void RunPlanner::take(const std::string& folder, const std::string& name, const Entry& entry) {
    folderAt(folder).overlay[name] = entry;
}

std::string RunPlanner::freeNumberedName(const std::string& folder, const std::string& start,
                                         const std::string& stemSource,
                                         const Entry& startEntry) const {
    // As the run searches: only a file under a name moves the search on.
    auto free = [](const Entry& e) { return !e.present || e.folder; };
    if (free(startEntry)) return start;
    const std::string stem = BaseNameOf(stemSource);
    const std::string ext = ExtensionOf(FileNameOf(stemSource));
    for (unsigned long long n = 1;; ++n) {
        std::string candidate = stem + "_" + std::to_string(n) + ext;
        if (free(look(folder, candidate))) return candidate;
    }
}

PlaceResult RunPlanner::place(const std::string& source, const std::string& folder,
                              TransferMode mode, SameFilePolicy policy,
                              const std::string& renameStart) {
    PlaceResult r;
    const std::string own = FileNameOf(source);
    r.name = own;
    const std::string sourceFolder = FolderOf(source);
    Entry from = look(sourceFolder, own);
    const bool move = mode == TransferMode::Move;
    auto fail = [&](int error) {
        r.status = PlaceResult::Status::Failed;
        r.error = error;
        return r;
    };
    if (!from.present) {
        if (folderAt(sourceFolder).overlay.count(own)) {
            // Moved away earlier in this plan: the run passes it over, but
            // for a file of the name under 询问, which it asks about still.
            const Entry there = look(folder, own);
            if (policy == SameFilePolicy::Ask && there.present && !there.folder) {
                add(source, folder, own, PlanAction::Ask);
                r.status = PlaceResult::Status::Declined;
                return r;
            }
            return fail(ENOENT);
        }
        refused(source, folder, ReasonText(ENOENT));
        return fail(ENOENT);
    }
    if (from.folder) {
        refused(source, folder, ReasonText(EISDIR));
        return fail(EISDIR);
    }
    if (!from.regular && !(move && from.link)) {
        refused(source, folder, ReasonText(kNotRegularFile));
        return fail(kNotRegularFile);
    }

    const PlanAction plain = move ? PlanAction::Move : PlanAction::Copy;
    // Places the file under name: the name is taken, and a move frees the
    // source's.
    auto placed = [&](const std::string& name, PlanAction action, std::string detail = {}) {
        add(source, folder, name, action, std::move(detail));
        Entry e = from;
        if (!move) {
            e.id.reset();  // a copy is a file of its own
            e.lazyId = false;
            e.link = false;
        } else if (e.link) {
            // A link is moved as it is: from its new place it may lead elsewhere.
            e = through(source, folder);
        }
        take(folder, name, e);
        if (move) take(sourceFolder, own, Entry{});
        r.name = name;
        r.status = PlaceResult::Status::Placed;
        return r;
    };
    auto kept = [&](const std::string& name, PlanAction action) {
        add(source, folder, name, action);
        r.name = name;
        r.status = PlaceResult::Status::Declined;
        return r;
    };

    const std::string start = renameStart.empty() ? own : renameStart;
    Entry there = look(folder, policy == SameFilePolicy::Rename ? start : own);
    if (there.present || policy == SameFilePolicy::EditFileTime) {
        Fill(from);
        Fill(there);
    }
    // The file under the name is the source itself: it is where it belongs.
    if (there.present && there.id && from.id && *there.id == *from.id) {
        add(source, folder, own, plain, Format(MessageId::AlreadyInPlace));
        r.status = PlaceResult::Status::Placed;
        return r;
    }
    const bool taken = there.present && !there.folder;
    if (policy == SameFilePolicy::Identical) {
        // Compared under the file's own name; when the bytes differ, numbered
        // as Rename numbers, a folder there included.
        if (taken && SameBytesAs(from, there)) return kept(own, PlanAction::SkipIdentical);
        const Entry atStart = start == own ? there : look(folder, start);
        if (atStart.present && atStart.folder) {
            refused(source, folder, ReasonText(EEXIST));
            return fail(EEXIST);
        }
        const std::string name = freeNumberedName(folder, start, source, atStart);
        if (name == own) return placed(name, plain);
        return placed(name, PlanAction::Renamed, name);
    }
    if (there.present && there.folder && policy != SameFilePolicy::Rename) {
        refused(source, folder, ReasonText(EISDIR));
        return fail(EISDIR);
    }
    switch (policy) {
        case SameFilePolicy::Ask:
            if (!taken) return placed(own, plain);
            // The answer is the user's; the plan keeps what is there.
            return kept(own, PlanAction::Ask);
        case SameFilePolicy::Rename: {
            if (there.present && there.folder) {
                // A folder under the name the search starts from ends it.
                refused(source, folder, ReasonText(EEXIST));
                return fail(EEXIST);
            }
            const std::string name = freeNumberedName(folder, start, source, there);
            if (name == own) return placed(name, plain);
            return placed(name, PlanAction::Renamed, name);
        }
        case SameFilePolicy::Overwrite:
            if (!taken) return placed(own, plain);
            r.replaced = true;
            placed(own, PlanAction::Overwrite);
            r.replaced = true;
            return r;
        case SameFilePolicy::Skip:
            if (!taken) return placed(own, plain);
            return kept(own, PlanAction::SkipSameName);
        case SameFilePolicy::EditFileTime: {
            // The run compares the source's time first: a link that leads
            // nowhere fails there.
            if (!from.time) {
                refused(source, folder, ReasonText(ENOENT));
                return fail(ENOENT);
            }
            if (!taken) return placed(own, plain);
            // A time that cannot be read is the run's failure too.
            if (!from.time || !there.time) {
                refused(source, folder, ReasonText(EIO));
                return fail(EIO);
            }
            const bool replace = move ? *from.time > *there.time : !(*from.time < *there.time);
            if (!replace) return kept(own, PlanAction::NewerKeep);
            placed(own, PlanAction::NewerReplace);
            r.replaced = true;
            return r;
        }
        case SameFilePolicy::Identical:
            break;  // settled above
    }
    return fail(EINVAL);
}

}  // namespace zanfeld
