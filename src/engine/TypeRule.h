#pragma once

#include "SortRule.h"

namespace zanfeld {

// Page FileType: every file into the folder of its extension, as spelled.
class TypeRule : public SortRule {
  public:
    bool prepare(const SortOptions& options, SortHost& host) override { return true; }
    RuleOutcome evaluate(const SortOptions& options, const std::string& sourcePath) override;
    void evaluateInto(const SortOptions& options, const std::string& sourcePath,
                      RuleOutcome& out) override;
};

}  // namespace zanfeld
