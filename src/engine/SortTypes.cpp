#include "SortTypes.h"

namespace zanfeld {

// These words become part of the folders a run makes ("大于100KB"): they are
// the same in every language of the interface and are never translated.

const char* SizeConditionText(SizeCondition c) {
    return c == SizeCondition::Greater ? "大于" : "小于";
}

const char* SizeUnitText(SizeUnit u) { return u == SizeUnit::MB ? "MB" : "KB"; }

const char* PicConditionText(PicCondition c) {
    switch (c) {
        case PicCondition::AtLeast:
            return "大于等于";
        case PicCondition::AtMost:
            return "小于等于";
        case PicCondition::Exactly:
            return "等于";
    }
    return "";
}

}  // namespace zanfeld
