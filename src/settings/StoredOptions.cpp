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
    o.takenGroup = static_cast<TakenGroup>(s.takenGroup);
    o.takenFromModified = s.takenModified;
    o.takenSkipUnknown = s.takenSkipUnknown;
    for (const char* type : kTakenTypes) o.takenPatterns.emplace_back(type);
    return o;
}

SortOptions FolderWindowOptions(const FolderWindowSettings& s) { return SharedOptions(s); }

namespace {

template <typename Settings>
void SharedSettings(const SortOptions& o, Settings& s) {
    s.filter = o.nameFilter;
    s.sameFilePolicy = o.sameFilePolicy;
    s.outDir = o.outputDir;
    s.page = static_cast<int>(o.page);
    s.edtKeys = o.keywordText;
    s.dtDate = o.thresholdDate;
    s.dtTime = o.thresholdTime;
    s.cmbFileDate = o.dateCondition == DateCondition::Earlier ? 0 : 1;
}

// A combo box's index, -1 for none.
template <typename T>
int IndexOf(const std::optional<T>& value) {
    return value ? static_cast<int>(*value) : -1;
}

}  // namespace

FileWindowSettings FileWindowSettingsOf(const SortOptions& o) {
    FileWindowSettings s;
    SharedSettings(o, s);
    s.picHeight = o.picDimension == PicDimension::Height;
    s.cmbPic = IndexOf(o.picCondition);
    s.picSizeValue = o.picText;
    s.cmbCondition = IndexOf(o.sizeCondition);
    s.cmbUnit = IndexOf(o.sizeUnit);
    s.fileSize = o.sizeText;
    s.suffixFilter = o.typePatterns;
    s.fileAttrModified = o.dateSource == DateSource::Modified;
    s.takenGroup = static_cast<int>(o.takenGroup);
    s.takenModified = o.takenFromModified;
    s.takenSkipUnknown = o.takenSkipUnknown;
    return s;
}

FolderWindowSettings FolderWindowSettingsOf(const SortOptions& o) {
    FolderWindowSettings s;
    SharedSettings(o, s);
    return s;
}

}  // namespace zanfeld
