#include "PicSizeRule.h"

#include <cstdint>
#include <exception>

#include "IntParse.h"
#include "MessageTexts.h"
#include "PicSize.h"
#include "Placement.h"
#include "TextUtil.h"

namespace zanfeld {

bool PicSizeRule::prepare(const SortOptions& options, SortHost& host) {
    const auto threshold = IsBlank(options.picText) ? std::nullopt : ParseInt32(options.picText);
    if (!threshold) {
        host.rejectOption(Format(MessageId::EnterPictureSize), OptionId::PicValue);
        return false;
    }
    m_threshold = *threshold;
    // The folder names the condition and the number as typed, not the side.
    m_folder = options.picCondition ? PicConditionText(*options.picCondition) : "";
    m_folder += options.picText;
    EnsureFolder(options.outputDir + m_folder);
    return true;
}

RuleOutcome PicSizeRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    uint32_t size = 0;
    try {
        size = GetPicSize(sourcePath, options.picDimension);
    } catch (const std::exception&) {
        size = 0;
    }
    if (size == 0) return RuleOutcome::drop();
    if (!options.picCondition) return RuleOutcome::noMatch();

    // The size is unsigned, the threshold signed: compare both as 64-bit.
    const int64_t v = size;
    const int64_t t = m_threshold;
    bool selected = false;
    switch (*options.picCondition) {
        case PicCondition::AtLeast:
            selected = v >= t;
            break;
        case PicCondition::AtMost:
            selected = v <= t;
            break;
        case PicCondition::Exactly:
            selected = v == t;
            break;
    }
    return selected ? RuleOutcome::place(m_folder) : RuleOutcome::noMatch();
}

}  // namespace zanfeld
