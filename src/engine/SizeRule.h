#pragma once

#include <cstdint>

#include "SortRule.h"

namespace zanfeld {

// Page FileSize: files strictly larger or smaller than a threshold go into
// one folder named after the condition, e.g. 大于100KB.
class SizeRule : public SortRule {
  public:
    bool prepare(const SortOptions& options, SortHost& host) override;
    RuleOutcome evaluate(const SortOptions& options, const std::string& sourcePath) override;
    bool foldersPrepared() const override { return true; }

    int64_t threshold() const { return m_threshold; }
    const std::string& folder() const { return m_folder; }

  private:
    int64_t m_threshold = 0;
    std::string m_folder;
};

}  // namespace zanfeld
