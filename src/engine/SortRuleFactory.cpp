#include "DateRule.h"
#include "FileNameRule.h"
#include "KeywordRule.h"
#include "PicSizeRule.h"
#include "SizeRule.h"
#include "SortRule.h"
#include "TakenDateRule.h"
#include "TypeRule.h"

namespace zanfeld {

std::unique_ptr<SortRule> MakeSortRule(SortPage page) {
    switch (page) {
        case SortPage::Keys:
            return std::make_unique<KeywordRule>();
        case SortPage::FileName:
            return std::make_unique<FileNameRule>();
        case SortPage::FileType:
            return std::make_unique<TypeRule>();
        case SortPage::FileSize:
            return std::make_unique<SizeRule>();
        case SortPage::FileDate:
            return std::make_unique<DateRule>();
        case SortPage::PicSize:
            return std::make_unique<PicSizeRule>();
        case SortPage::TakenDate:
            return std::make_unique<TakenDateRule>();
    }
    return nullptr;
}

}  // namespace zanfeld
