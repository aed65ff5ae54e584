#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "CopyObserver.h"
#include "FailureLog.h"
#include "RunNotes.h"
#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld {

// What every sort run does around its own work: the output directory check
// before it; the busy window, the bar, the progress notes, the counts and the
// stop during it; and the closing message.
class SortRunFrame : private CopyObserver {
  public:
    explicit SortRunFrame(SortHost& host) : m_host(host) {}
    SortRunFrame(const SortRunFrame&) = delete;
    SortRunFrame& operator=(const SortRunFrame&) = delete;

    // Refuses a blank output directory; adds a missing trailing separator and
    // shows the directory so completed.
    bool acceptOutputDir(SortOptions& options);
    // The window is busy from here on; count is the list's length. The
    // frame follows every copy this thread makes until it is gone.
    void begin(size_t count);
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
    void noteCounts(const FailureLog& failures);
    void showClosing(const std::string& text, const FailureLog& failures);

    SortHost& m_host;
    bool m_busy = false;
    RunProgress m_progress;
    std::string m_file;  // the file a folder's tree is at
    RunCounts m_counts;
    std::optional<ScopedCopyObserver> m_watch;
};

}  // namespace zanfeld
