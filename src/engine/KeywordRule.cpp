#include "KeywordRule.h"

#include <utility>

#include "NameRules.h"
#include "PathNames.h"
#include "TextUtil.h"

namespace zanfeld {

bool KeywordRule::prepare(const SortOptions& options, SortHost& host) {
    m_keywords.clear();
    if (IsBlank(options.keywordText)) {
        host.rejectOption("请输入匹配关键字!", OptionId::Keywords);
        return false;
    }
    m_keywords = SplitKeywords(options.keywordText);
    return true;
}

RuleOutcome KeywordRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    const std::string name = BaseNameOf(sourcePath);
    std::vector<std::string> folders;
    // Every matching keyword counts, duplicates included, in list order.
    for (const auto& keyword : m_keywords)
        if (KeywordMatches(keyword, name)) folders.push_back(keyword);
    if (folders.empty()) return RuleOutcome::noMatch();
    return RuleOutcome::place(std::move(folders));
}

}  // namespace zanfeld
