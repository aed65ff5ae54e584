#pragma once

#include <optional>
#include <string>
#include <vector>

#include "PicDimension.h"

namespace zanfeld {

// Index of the criterion page. The folder window uses Keys, FileName and
// FileType (its hidden date page); any other value there means "no page".
enum class SortPage : int {
    Keys = 0,
    FileName = 1,
    FileType = 2,
    FileSize = 3,
    FileDate = 4,
    PicSize = 5,
    TakenDate = 6  // photos and videos by the day they were taken
};

enum class TypeFilterMode { None, Include, Exclude };
enum class TransferMode { Copy, Move };
// Identical: a file of the same bytes at the name is what the run keeps (the
// new one skipped); one that differs gets a numbered name.
enum class SameFilePolicy { Ask, Rename, Overwrite, Skip, EditFileTime, Identical };

enum class SizeCondition { Greater, Less };
enum class SizeUnit { KB, MB };
enum class DateSource { Created, Modified };
enum class DateCondition { Earlier, Later };
enum class PicCondition { AtLeast, AtMost, Exactly };
// The taken-date page's folders: 2024, 2024/05, 2024-05, 2024-05-06.
enum class TakenGroup { Year, YearThenMonth, YearMonth, Day };

// The options a rule or a check can reject; the window maps each to its control.
enum class OptionId { OutputDir, Keywords, PartBegin, PartEnd, Size, PicValue };

struct CivilDate {
    int year = 2013;
    int month = 5;
    int day = 6;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The choices of one run, as the window reads them from its controls.
// A combo box without a selected item is an empty optional.
struct SortOptions {
    SortPage page = SortPage::Keys;
    std::string outputDir;
    TransferMode transferMode = TransferMode::Copy;
    SameFilePolicy sameFilePolicy = SameFilePolicy::Overwrite;
    // How many copies of a file sort have their data written at once, ahead
    // of the run's order (1: each in turn; 0: 4 where the output is on a
    // network share or FUSE, else 1). Not stored with the choices.
    unsigned copyJobs = 0;
    TypeFilterMode typeFilter = TypeFilterMode::None;
    std::vector<std::string> typePatterns;     // "*.txt", ...
    std::vector<std::string> picturePatterns;  // the checked picture types, "*.JPG;*.JPEG", ...

    // Keys and FileName pages (also the folder window's pages 0 and 1).
    std::string keywordText;
    bool useNamePart = false;
    std::string partBeginText;
    std::string partEndText;
    std::string nameFilter;
    bool onlyMatchDir = false;

    // FileSize page.
    std::string sizeText;
    std::optional<SizeCondition> sizeCondition = SizeCondition::Greater;
    std::optional<SizeUnit> sizeUnit = SizeUnit::KB;

    // FileDate page.
    DateSource dateSource = DateSource::Created;
    DateCondition dateCondition = DateCondition::Earlier;
    CivilDate thresholdDate;
    TimeOfDay thresholdTime;

    // PicSize page.
    PicDimension picDimension = PicDimension::Width;
    std::optional<PicCondition> picCondition = PicCondition::AtLeast;
    std::string picText;

    // TakenDate page: the date from the file's own record, else from its
    // name (takenFromName), else its modification time (takenFromModified);
    // a file with none goes to takenUnknownFolder, or is not selected when
    // takenSkipUnknown.
    TakenGroup takenGroup = TakenGroup::YearThenMonth;
    bool takenFromName = true;
    bool takenFromModified = false;
    bool takenSkipUnknown = false;
    std::string takenUnknownFolder = "未知日期";
    std::vector<std::string> takenPatterns;  // the checked types, "*.JPG", ...
};

// The items of the file window's picture type list, all checked at start.
inline constexpr const char* kPictureTypes[] = {"*.JPG;*.JPEG", "*.BMP", "*.GIF", "*.PNG",
                                                "*.TIF"};

// The taken-date page's type list, all checked at start.
inline constexpr const char* kTakenTypes[] = {
    "*.JPG", "*.JPEG", "*.HEIC", "*.HEIF", "*.PNG", "*.TIF", "*.TIFF", "*.WEBP", "*.DNG", "*.CR2",
    "*.CR3", "*.NEF", "*.ARW", "*.ORF", "*.RW2", "*.MP4", "*.MOV", "*.3GP", "*.M4V", "*.MKV"};

// Captions of the combo box items; rule folder names are built from them.
const char* SizeConditionText(SizeCondition c);
const char* SizeUnitText(SizeUnit u);
const char* PicConditionText(PicCondition c);

}  // namespace zanfeld
