#pragma once

#include <string>
#include <vector>

#include "SortRule.h"

namespace zanfeld {

// Page Keys: a file goes into the folder of every keyword found in its base name.
class KeywordRule : public SortRule {
  public:
    bool prepare(const SortOptions& options, SortHost& host) override;
    RuleOutcome evaluate(const SortOptions& options, const std::string& sourcePath) override;
    void evaluateInto(const SortOptions& options, const std::string& sourcePath,
                      RuleOutcome& out) override;

  private:
    std::vector<std::string> m_keywords;
    // The same in upper case ("" for a blank one, which matches nothing), so
    // that each name is folded once rather than once per keyword.
    std::vector<std::string> m_upperKeywords;
    std::string m_upperName;  // reused from file to file
};

}  // namespace zanfeld
