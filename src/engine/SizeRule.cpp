#include "SizeRule.h"

#include "FileOps.h"
#include "IntParse.h"
#include "MessageTexts.h"
#include "Placement.h"
#include "TextUtil.h"

namespace zanfeld {

namespace {

// value * factor, or nothing when it leaves the signed 64-bit range.
std::optional<int64_t> Scaled(int64_t value, int64_t factor) {
    int64_t out = 0;
    if (__builtin_mul_overflow(value, factor, &out)) return std::nullopt;
    return out;
}
}  // namespace

bool SizeRule::prepare(const SortOptions& options, SortHost& host) {
    if (IsBlank(options.sizeText)) {
        host.rejectOption(Format(MessageId::EnterFileSize), OptionId::Size);
        return false;
    }
    const auto number = ParseInt64(options.sizeText);
    const int64_t factor = options.sizeUnit == SizeUnit::MB ? 1024 * 1024 : 1024;
    const auto threshold = number ? Scaled(*number, factor) : std::nullopt;
    if (!threshold) {
        host.rejectOption(Format(MessageId::EnterFileSize), OptionId::Size);
        return false;
    }
    m_threshold = *threshold;
    m_folder.clear();
    if (options.sizeCondition) m_folder += SizeConditionText(*options.sizeCondition);
    m_folder += options.sizeText;
    if (options.sizeUnit) m_folder += SizeUnitText(*options.sizeUnit);
    EnsureFolder(options.outputDir + m_folder);
    return true;
}

RuleOutcome SizeRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    const auto size = RegularFileSize(sourcePath);
    if (!size) return RuleOutcome::drop();
    const bool greater = options.sizeCondition == SizeCondition::Greater;
    const bool selected = greater ? *size > m_threshold : *size < m_threshold;
    return selected ? RuleOutcome::place(m_folder) : RuleOutcome::noMatch();
}

}  // namespace zanfeld
