#pragma once

#include <cstdint>
#include <string>

#include "SortRule.h"

namespace zanfeld {

// Page PicSize: pictures whose width or height meets the condition go into
// one folder named by the condition, made when the run is prepared.
class PicSizeRule : public SortRule {
  public:
    bool prepare(const SortOptions& options, SortHost& host) override;
    RuleOutcome evaluate(const SortOptions& options, const std::string& sourcePath) override;
    bool foldersPrepared() const override { return true; }

  private:
    int32_t m_threshold = 0;
    std::string m_folder;
};

}  // namespace zanfeld
