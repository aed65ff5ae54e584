#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "CopyObserver.h"
#include "FailureLog.h"
#include "FileOps.h"
#include "ReplacedFiles.h"
#include "RunNotes.h"
#include "RunPlanner.h"
#include "RunRecorder.h"
#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld {

// What every sort run does around its own work: the output directory check
// before it; the busy window, the bar, the progress notes, the counts, the
// stop, the run's record and the keeping of replaced files during it; and the
// closing message.
class SortRunFrame : private CopyObserver, private ReplacedFileKeeper {
  public:
    // From here on the frame follows the copies this thread makes and the
    // folders it makes (a rule may make its folders before the run begins).
    explicit SortRunFrame(SortHost& host);
    SortRunFrame(const SortRunFrame&) = delete;
    SortRunFrame& operator=(const SortRunFrame&) = delete;

    // Refuses a blank output directory; adds a missing trailing separator and
    // shows the directory so completed.
    bool acceptOutputDir(SortOptions& options);
    // The window is busy from here on; count is the list's length. The
    // frame follows every copy this thread makes until it is gone, records
    // the run when the host keeps records, and keeps replaced files when the
    // host asks for it.
    void begin(size_t count, RunWindow window, const SortOptions& options);
    // Whether the run is recorded (each placement is then looked at after it).
    bool recording() const { return m_recorder != nullptr; }
    // Before a placement into target (its full path), when recording.
    int64_t intend(const std::string& source, const std::string& target, TransferMode mode);
    // After it: record, with what became of a replaced file added.
    void done(int64_t placement, PlacementRecord record);
    // The list entry i comes next; moving when its files are moved.
    void item(size_t i, const std::string& path, bool moving = false);
    // A file within the current entry (a folder's tree) is being placed.
    void file(const std::string& path);
    // The bar after item i of n.
    void step(size_t i, size_t n);
    // Counts a file that the rule selected. Failures are counted from the
    // failure log instead.
    void count(FileOutcome outcome) { m_counts.add(outcome); }
    // The user asked the run to stop.
    bool stopRequested() { return m_host.stopRequested(); }
    // A preview: the planner to ask instead of placing, else null.
    RunPlanner* planner() { return m_planner; }
    // The bar full, the window free, the completion text, the bar empty.
    void finish(const FailureLog& failures);
    // A run the user stopped: the window free, the bar empty, "分拣已停止。"
    // with the counts so far and the failures.
    void stopped(const FailureLog& failures);
    // A run that ends early: the window free, the bar empty, and the reason
    // followed by the files that had failed before.
    void stop(const std::string& reason, const FailureLog& failures);

  private:
    bool copied(uint64_t done, uint64_t total) override;
    void madeFolder(const std::string& path) override;
    bool keep(int dirFd, const std::string& name, const std::string& originalPath) override;
    void lost(const std::string& originalPath) override;
    bool keepAhead(int dirFd, const std::string& name, const std::string& originalPath,
                   FileId& kept) override;
    void unkeep() override;
    void noteCounts(const FailureLog& failures);
    // The closing message, with what the run's record and the Trash add.
    void showClosing(std::string text, const FailureLog& failures);
    void endRecord(RunEnd end);

    SortHost& m_host;
    RunPlanner* m_planner;
    bool m_busy = false;
    RunProgress m_progress;
    std::string m_file;  // the file a folder's tree is at
    RunCounts m_counts;
    std::optional<ScopedCopyObserver> m_watch;
    RunRecorder* m_recorder = nullptr;
    std::optional<ScopedReplacedFileKeeper> m_keeping;
    // What became of the file the current placement replaced.
    std::string m_trashFile;
    std::string m_trashInfo;
    bool m_replacedLost = false;
    int64_t m_placement = 0;       // the current placement's id in the record
    std::string m_keptAheadFrom;  // where the file kept ahead was
    size_t m_lostCount = 0;                          // replaced files that could not be kept
    std::vector<std::string> m_madeBeforeBegin;      // folders made before the record began
    std::optional<ScopedNoFolderMaking> m_planning;  // a preview makes nothing
};

}  // namespace zanfeld
