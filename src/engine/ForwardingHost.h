#pragma once

#include "SortHost.h"

namespace zanfeld {

// A host that hands every call on to another one; a host that differs from
// the one it wraps in a few calls overrides only those.
class ForwardingHost : public SortHost {
  public:
    explicit ForwardingHost(SortHost& to) : m_to(to) {}

    void showInfo(const std::string& text) override { m_to.showInfo(text); }
    void showWarning(const std::string& text) override { m_to.showWarning(text); }
    void rejectOption(const std::string& text, OptionId option) override {
        m_to.rejectOption(text, option);
    }
    void setOutputDir(const std::string& text) override { m_to.setOutputDir(text); }
    void setBusy(bool busy) override { m_to.setBusy(busy); }
    void setProgress(int percent) override { m_to.setProgress(percent); }
    void refreshLiveOptions(SortOptions& options) override { m_to.refreshLiveOptions(options); }
    bool askOverwrite(const std::string& targetPath) override {
        return m_to.askOverwrite(targetPath);
    }
    bool askReplace(const std::string& targetPath, const std::string& sourcePath) override {
        return m_to.askReplace(targetPath, sourcePath);
    }
    bool stopRequested() override { return m_to.stopRequested(); }
    void noteProgress(const RunProgress& progress) override { m_to.noteProgress(progress); }
    void noteCounts(const RunCounts& counts) override { m_to.noteCounts(counts); }
    void noteFailure(const std::string& path, const std::string& reason) override {
        m_to.noteFailure(path, reason);
    }
    RunRecorder* recorder() override { return m_to.recorder(); }
    bool keepReplacedFiles() override { return m_to.keepReplacedFiles(); }
    RunPlanner* planner() override { return m_to.planner(); }

  private:
    SortHost& m_to;
};

}  // namespace zanfeld
