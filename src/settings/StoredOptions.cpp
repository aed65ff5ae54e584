#include "StoredOptions.h"

namespace zanfeld {

namespace {

// The page a window's layout marks as active stays when the stored index is
// none of the window's pages.
constexpr int kLayoutPage = 1;
// The design values of the date and time pickers.
constexpr CivilDate kDesignDate{2013, 5, 6};
constexpr TimeOfDay kDesignTime{0, 0, 0};

template <typename Settings>
SortOptions SharedOptions(const Settings& s) {
    SortOptions o;
    o.page = static_cast<SortPage>(s.page.value_or(kLayoutPage));
    o.outputDir = s.outDir;
    o.sameFilePolicy = s.sameFilePolicy;
    o.transferMode = TransferMode::Copy;
    o.keywordText = s.edtKeys;
    o.nameFilter = s.filter;
    o.thresholdDate = s.dtDate.value_or(kDesignDate);
    o.thresholdTime = s.dtTime.value_or(kDesignTime);
    // A combo box without a selection reads as "later", as the window reads it.
    o.dateCondition = s.cmbFileDate == 0 ? DateCondition::Earlier : DateCondition::Later;
    return o;
}

}  // namespace

SortOptions FileWindowOptions(const FileWindowSettings& s) {
    SortOptions o = SharedOptions(s);
    o.typeFilter = TypeFilterMode::None;
    o.typePatterns = s.suffixFilter;
    for (const char* type : kPictureTypes) o.picturePatterns.emplace_back(type);
    o.sizeText = s.fileSize;
    o.sizeCondition.reset();
    if (s.cmbCondition == 0) o.sizeCondition = SizeCondition::Greater;
    if (s.cmbCondition == 1) o.sizeCondition = SizeCondition::Less;
    o.sizeUnit.reset();
    if (s.cmbUnit == 0) o.sizeUnit = SizeUnit::KB;
    if (s.cmbUnit == 1) o.sizeUnit = SizeUnit::MB;
    o.dateSource = s.fileAttrModified ? DateSource::Modified : DateSource::Created;
    o.picDimension = s.picHeight ? PicDimension::Height : PicDimension::Width;
    o.picCondition.reset();
    if (s.cmbPic == 0) o.picCondition = PicCondition::AtLeast;
    if (s.cmbPic == 1) o.picCondition = PicCondition::AtMost;
    if (s.cmbPic == 2) o.picCondition = PicCondition::Exactly;
    o.picText = s.picSizeValue;
    return o;
}

SortOptions FolderWindowOptions(const FolderWindowSettings& s) { return SharedOptions(s); }

}  // namespace zanfeld
