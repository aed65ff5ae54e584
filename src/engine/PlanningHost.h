#pragma once

#include "ForwardingHost.h"
#include "RunPlanner.h"

namespace zanfeld {

// The host of a preview: the window's host for every message and the locks,
// with a planner in place of the placements. Nothing is recorded, nothing
// kept in the Trash, and no question is asked (the plan shows where the run
// would ask).
class PlanningHost : public ForwardingHost {
  public:
    PlanningHost(SortHost& window, RunPlanner& planner)
        : ForwardingHost(window), m_planner(planner) {}

    bool askOverwrite(const std::string&) override { return false; }
    bool askReplace(const std::string&, const std::string&) override { return false; }
    void noteCounts(const RunCounts&) override {}
    void noteFailure(const std::string&, const std::string&) override {}
    RunRecorder* recorder() override { return nullptr; }
    bool keepReplacedFiles() override { return false; }
    RunPlanner* planner() override { return &m_planner; }

  private:
    RunPlanner& m_planner;
};

}  // namespace zanfeld
