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
    explicit RunPlanner(RunPlan& plan) : m_plan(plan) {}

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
    };
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
    // folder -> name -> what the plan put there or took away.
    std::unordered_map<std::string, std::unordered_map<std::string, Entry>> m_overlay;
};

}  // namespace zanfeld
