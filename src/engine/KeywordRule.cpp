#include "KeywordRule.h"

#include <cstdint>
#include <string_view>
#include <utility>

#include "MessageTexts.h"
#include "NameRules.h"
#include "PathNames.h"
#include "TextUtil.h"

namespace zanfeld {

bool KeywordRule::prepare(const SortOptions& options, SortHost& host) {
    m_keywords.clear();
    if (IsBlank(options.keywordText)) {
        host.rejectOption(Format(MessageId::EnterKeywords), OptionId::Keywords);
        return false;
    }
    m_keywords = SplitKeywords(options.keywordText);
    m_upperKeywords.clear();
    for (const std::string& keyword : m_keywords)
        m_upperKeywords.push_back(IsBlank(keyword) ? std::string() : AsciiUpper(keyword));
    return true;
}

RuleOutcome KeywordRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    RuleOutcome out;
    evaluateInto(options, sourcePath, out);
    return out;
}

void KeywordRule::evaluateInto(const SortOptions&, const std::string& sourcePath,
                               RuleOutcome& out) {
    // As KeywordMatches: only ASCII letters fold, byte for byte, so a match
    // of the folded texts is a match of the texts.
    m_upperName.assign(BaseNameView(sourcePath));
    // Which bytes the name holds: a keyword whose first or last byte is not
    // among them cannot be found in it, and is not searched for.
    uint64_t present[4] = {};
    for (char& c : m_upperName) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        const auto b = static_cast<unsigned char>(c);
        present[b >> 6] |= uint64_t{1} << (b & 63);
    }
    auto holds = [&present](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (present[b >> 6] >> (b & 63)) & 1;
    };
    const std::string_view name(m_upperName);
    // Every matching keyword counts, duplicates included, in list order.
    size_t found = 0;
    for (size_t i = 0; i < m_keywords.size(); ++i) {
        const std::string& upper = m_upperKeywords[i];
        if (upper.empty() || !holds(upper.front()) || !holds(upper.back())) continue;
        if (name.find(upper) == std::string_view::npos) continue;
        if (found == out.folders.size())
            out.folders.push_back(m_keywords[i]);
        else
            out.folders[found].assign(m_keywords[i]);
        ++found;
    }
    out.folders.resize(found);
    out.kind = found == 0 ? RuleOutcome::Kind::NoMatch : RuleOutcome::Kind::Place;
}

}  // namespace zanfeld
