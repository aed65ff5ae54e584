#pragma once

#include <memory>
#include <string>

#include "RuleOutcome.h"
#include "SortHost.h"
#include "SortTypes.h"

namespace zanfeld {

// The rule of one criterion page.
class SortRule {
  public:
    virtual ~SortRule() = default;

    // Once per run, before the window is locked: checks and parses the page's
    // inputs; on failure calls host.rejectOption and returns false.
    virtual bool prepare(const SortOptions& options, SortHost& host) = 0;

    // Once per file that passed the type filter.
    virtual RuleOutcome evaluate(const SortOptions& options, const std::string& sourcePath) = 0;
    // The same answer into out, which a run keeps from file to file so that
    // a rule may reuse its storage rather than allocate it for every file.
    virtual void evaluateInto(const SortOptions& options, const std::string& sourcePath,
                              RuleOutcome& out) {
        out = evaluate(options, sourcePath);
    }

    // True when the rule made its single target folder in prepare, so the run
    // need not ensure it before each placement.
    virtual bool foldersPrepared() const { return false; }
};

// The rule of a file window page.
std::unique_ptr<SortRule> MakeSortRule(SortPage page);

}  // namespace zanfeld
