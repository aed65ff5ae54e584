#pragma once

#include "RunPlanner.h"
#include "SortHost.h"

namespace zanfeld {

// The host of a preview: the window's host for every message and the locks,
// with a planner in place of the placements. Nothing is recorded, nothing
// kept in the Trash, and no question is asked (the plan shows where the run
// would ask).
class PlanningHost : public SortHost {
  public:
    PlanningHost(SortHost& window, RunPlanner& planner) : m_window(window), m_planner(planner) {}

    void showInfo(const std::string& text) override { m_window.showInfo(text); }
    void showWarning(const std::string& text) override { m_window.showWarning(text); }
    void rejectOption(const std::string& text, OptionId option) override {
        m_window.rejectOption(text, option);
    }
    void setOutputDir(const std::string& text) override { m_window.setOutputDir(text); }
    void setBusy(bool busy) override { m_window.setBusy(busy); }
    void setProgress(int percent) override { m_window.setProgress(percent); }
    void refreshLiveOptions(SortOptions& options) override { m_window.refreshLiveOptions(options); }
    bool askOverwrite(const std::string&) override { return false; }
    bool askReplace(const std::string&, const std::string&) override { return false; }
    bool stopRequested() override { return m_window.stopRequested(); }
    void noteProgress(const RunProgress& progress) override { m_window.noteProgress(progress); }
    RunPlanner* planner() override { return &m_planner; }

  private:
    SortHost& m_window;
    RunPlanner& m_planner;
};

}  // namespace zanfeld
