#include "KeywordRule.h"

#include <string_view>
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
    m_upperKeywords.clear();
    for (const std::string& keyword : m_keywords)
        m_upperKeywords.push_back(IsBlank(keyword) ? std::string() : AsciiUpper(keyword));
    return true;
}

RuleOutcome KeywordRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    // As KeywordMatches: only ASCII letters fold, byte for byte, so a match
    // of the folded texts is a match of the texts.
    m_upperName = BaseNameOf(sourcePath);
    for (char& c : m_upperName)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const std::string_view name(m_upperName);
    std::vector<std::string> folders;
    // Every matching keyword counts, duplicates included, in list order.
    for (size_t i = 0; i < m_keywords.size(); ++i) {
        const std::string& upper = m_upperKeywords[i];
        if (!upper.empty() && name.find(upper) != std::string_view::npos)
            folders.push_back(m_keywords[i]);
    }
    if (folders.empty()) return RuleOutcome::noMatch();
    return RuleOutcome::place(std::move(folders));
}

}  // namespace zanfeld
