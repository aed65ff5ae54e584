#pragma once

#include <string>

#include "RunNotes.h"
#include "SortTypes.h"

namespace zanfeld {
class RunPlanner;
class RunRecorder;
}  // namespace zanfeld

namespace zanfeld {

// What a sorting run needs from its window. The engines talk to the user
// through nothing else.
class SortHost {
  public:
    virtual ~SortHost() = default;

    // Modal information box; returns when dismissed.
    virtual void showInfo(const std::string& text) = 0;
    // The same with the warning icon: a completion that counts files not
    // placed. A host without one shows the information box.
    virtual void showWarning(const std::string& text) { showInfo(text); }
    // As showInfo, then focus the option's control (the output directory opens its chooser).
    virtual void rejectOption(const std::string& text, OptionId option) = 0;
    // Shows the normalised output directory.
    virtual void setOutputDir(const std::string& text) = 0;
    // Locks or unlocks the start button, the pages, the output folder button and field.
    virtual void setBusy(bool busy) = 0;
    // Sets the bar (0..100), repaints and lets pending events run.
    virtual void setProgress(int percent) = 0;
    // Rereads the fields that stay editable during a run.
    virtual void refreshLiveOptions(SortOptions& options) = 0;
    // "文件<path>已存在，是否覆盖？"; true for Yes.
    virtual bool askOverwrite(const std::string& targetPath) = 0;

    // What follows has bodies that suit a host with nothing more to show, so
    // that every host keeps working unchanged.

    // The same question with the file that would take the target's place, so
    // that a window can show both.
    virtual bool askReplace(const std::string& targetPath, const std::string& /*sourcePath*/) {
        return askOverwrite(targetPath);
    }
    // Whether the user asked the run to stop. Once true it stays true for
    // the run. A run asks between files and between the chunks of a large
    // copy, and then ends with "分拣已停止。".
    virtual bool stopRequested() { return false; }
    // Where the run is: when an entry's turn comes, when a file within a
    // folder's tree is copied, and after each chunk of a copy's data. Called
    // often; a host keeps it cheap.
    virtual void noteProgress(const RunProgress& /*progress*/) {}
    // The run's files by outcome, once before its closing message.
    virtual void noteCounts(const RunCounts& /*counts*/) {}
    // A file the run could not place, with the reason, as it fails. The
    // closing message names only the first few; a host that keeps a full
    // account takes each one here.
    virtual void noteFailure(const std::string& /*path*/, const std::string& /*reason*/) {}
    // Where the run keeps its record, or none.
    virtual RunRecorder* recorder() { return nullptr; }
    // Whether a file that a placement replaces goes to the Trash rather than
    // being destroyed.
    virtual bool keepReplacedFiles() { return false; }
    // A preview: the run plans each placement with this planner instead of
    // making it, makes no folder, and shows no closing message.
    virtual RunPlanner* planner() { return nullptr; }
};

}  // namespace zanfeld
