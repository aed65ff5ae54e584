#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "SortHost.h"

namespace zanfeld::test {

// A SortHost that records every call as a line of text ("info:…",
// "reject:<option>:…", "outdir:…", "busy:1", "progress:25", "ask:…") and
// answers askOverwrite from a queue of answers (No when the queue is empty).
class RecordingHost : public SortHost {
  public:
    void showInfo(const std::string& text) override;
    // Recorded as a box like showInfo ("info:…"), and counted in warnings.
    void showWarning(const std::string& text) override;
    void rejectOption(const std::string& text, OptionId option) override;
    void setOutputDir(const std::string& text) override;
    void setBusy(bool busy) override;
    void setProgress(int percent) override;
    void refreshLiveOptions(SortOptions& options) override;
    bool askOverwrite(const std::string& targetPath) override;

    // Lines of one kind, without the "kind:" prefix.
    std::vector<std::string> of(const std::string& kind) const;
    std::vector<int> progress() const;

    std::vector<std::string> calls;
    int warnings = 0;  // boxes shown with the warning icon
    std::deque<bool> answers;
    // Called by refreshLiveOptions, so a test can change live fields mid-run.
    std::function<void(SortOptions&)> onRefresh;
};

// The number of files a completion text counts as not placed, 0 when it
// counts none.
size_t FailedCount(const std::string& completionText);

}  // namespace zanfeld::test
