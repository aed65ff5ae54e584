#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "FileOps.h"
#include "Placement.h"
#include "RunPlan.h"
#include "SortTypes.h"

namespace zanfeld {

// Plans a run instead of making it. The run's own code goes through its
// rules as it always does and asks the planner, in place of each placement,
// what would happen; nothing is written. The planner keeps the names the plan
// has taken (and a move has freed) in each folder over the real ones, so that
// numbered names and later clashes come out as the run would make them.
class RunPlanner {
  public:
    // A folder is read once more than this many of its names were looked
    // at, and about a sixteenth of the names it holds (reading costs about
    // a quarter of a look a name): a few files of a large folder are looked
    // at one by one, and a folder many are planned into or from is read
    // once. 0: every folder is read at its first look.
    static constexpr int kLooksBeforeListing = 16;

    explicit RunPlanner(RunPlan& plan, int looksBeforeListing = kLooksBeforeListing)
        : m_plan(plan), m_looksBeforeListing(looksBeforeListing) {}

    // The rule passes the file over.
    void notSelected(const std::string& source);
    // The run would count the file as failed, for reason.
    void refused(const std::string& source, const std::string& folder, const std::string& reason);
    // One placement of source into folder (its full path): what the run
    // would get back. renameStart as for PlaceFile. A source that an earlier
    // placement of the plan moved away gives ENOENT and no row, as the run
    // passes such placements over.
    PlaceResult place(const std::string& source, const std::string& folder, TransferMode mode,
                      SameFilePolicy policy, const std::string& renameStart = {});
    // The folder copy's recreation of a link (to a folder, or dangling) in folder.
    void placeLink(const std::string& source, const std::string& folder, SameFilePolicy policy);

  private:
    // What stands under a name, as far as the plan knows.
    struct Entry {
        bool present = false;
        bool folder = false;
        bool regular = false;          // a regular file, not a device, pipe or socket
        std::optional<FileTime> time;  // last-write time of a file
        std::optional<FileId> id;      // what the name leads to
        bool link = false;             // a symlink (id: what it leads to)
        // Where the bytes that stand under the name can be read now, as the
        // plan writes nothing: the file itself, or the source a placement of
        // the plan would put there. Empty when unknown.
        std::string bytes;
        // Known from a folder's listing only: time and id are read from bytes
        // when asked for (see Fill), as few placements ask.
        bool lazyTime = false;
        bool lazyId = false;
    };
    // What a folder's listing said of its names, read once enough names of
    // the folder were looked at: a name it lacks is not there, and one it
    // has is of the kind it says, without a look at either.
    struct Listing {
        enum class Kind : unsigned char { Regular, Folder, Link, Other };
        int looks = 0;       // names looked at before the listing was read
        int64_t size = -1;   // the folder's size in bytes, once looked at
        bool read = false;   // the listing was tried
        bool exact = false;  // and can be trusted (see ForEachExactDirEntry)
        std::unordered_map<std::string, Kind> names;
    };
    // What the plan knows of one folder.
    struct Folder {
        // name -> what the plan put there or took away.
        std::unordered_map<std::string, Entry> overlay;
        // What it held before the plan, as far as listed.
        Listing listing;
    };
    // Reads time and id of an entry known from a listing.
    static void Fill(Entry& entry);
    // The folder of that path; a run goes to and fro between a few folders,
    // so the last two are at hand without a look-up.
    Folder& folderAt(const std::string& path) const;
    // The folder's listing, once it is worth reading; null before.
    const Listing* listing(const std::string& path, Folder& folder) const;
    // Whether the file from would meet the same bytes in there: two regular
    // files, no link at either end.
    static bool SameBytesAs(const Entry& from, const Entry& there);
    Entry look(const std::string& folder, const std::string& name) const;
    static Entry Filled(const struct stat& st);
    // What the link at path leads to when read from folder, as the plan has
    // left things (a file it names may have been moved away earlier in the
    // plan, or put there); a link that leads nowhere is an entry all the same.
    Entry through(const std::string& link, const std::string& folder) const;
    void take(const std::string& folder, const std::string& name, const Entry& entry);
    // startEntry: what look() said of start already.
    std::string freeNumberedName(const std::string& folder, const std::string& start,
                                 const std::string& stemSource, const Entry& startEntry) const;
    void add(const std::string& source, const std::string& folder, const std::string& name,
             PlanAction action, std::string detail = {});

    RunPlan& m_plan;
    const int m_looksBeforeListing;
    // Folders by path. The map's elements stay where they are as it grows.
    mutable std::unordered_map<std::string, Folder> m_folders;
    mutable std::pair<const std::string*, Folder*> m_recent[2] = {};
};

}  // namespace zanfeld
