#pragma once

#include <string>

#include "NameRules.h"
#include "SortRule.h"

namespace zanfeld {

// Page FileName: a file goes into the folder named by its base name, or by a
// character range of it, with the filter pieces removed.
class FileNameRule : public SortRule {
  public:
    bool prepare(const SortOptions& options, SortHost& host) override;
    RuleOutcome evaluate(const SortOptions& options, const std::string& sourcePath) override;

  private:
    NameRange m_range;
};

}  // namespace zanfeld
