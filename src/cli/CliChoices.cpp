#include "CliChoices.h"

#include <algorithm>

#include <cctype>
#include <string_view>

#include "FileOps.h"
#include "HomeFolder.h"
#include "IntParse.h"
#include "MessageTexts.h"
#include "SettingsFile.h"
#include "StoredOptions.h"
#include "TextUtil.h"

namespace zanfeld {

namespace {

ChoiceError Refuse(std::string option, std::string message) {
    return ChoiceError{std::move(option), std::move(message)};
}

std::string Trimmed(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return std::string(text.substr(begin, end - begin));
}

bool AllDigits(std::string_view text, bool dots) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (!(c >= '0' && c <= '9') && !(dots && c == '.')) return false;
    }
    return true;
}

std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        std::string piece = Trimmed(text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (!piece.empty()) pieces.push_back(std::move(piece));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return pieces;
}

std::optional<int> Number(std::string_view text) {
    if (!AllDigits(text, false) || text.size() > 4) return std::nullopt;
    int value = 0;
    for (const char c : text) value = value * 10 + (c - '0');
    return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::optional<CivilDate> ParseDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = Number(text.substr(0, 4));
    const auto month = Number(text.substr(5, 2));
    const auto day = Number(text.substr(8, 2));
    if (!year || !month || !day || *year < 1 || *month < 1 || *month > 12 || *day < 1)
        return std::nullopt;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int days = *month == 2 && IsLeapYear(*year) ? 29 : kDays[*month - 1];
    if (*day > days) return std::nullopt;
    return CivilDate{*year, *month, *day};
}

std::optional<TimeOfDay> ParseClock(std::string_view text) {
    if (text.size() != 5 && text.size() != 8) return std::nullopt;
    if (text[2] != ':' || (text.size() == 8 && text[5] != ':')) return std::nullopt;
    const auto hour = Number(text.substr(0, 2));
    const auto minute = Number(text.substr(3, 2));
    const auto second = text.size() == 8 ? Number(text.substr(6, 2)) : std::optional<int>(0);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    return TimeOfDay{*hour, *minute, *second};
}

// The page --by names, or the stored one.
std::optional<SortPage> PageNamed(const std::string& by) {
    if (by == "keys") return SortPage::Keys;
    if (by == "name") return SortPage::FileName;
    if (by == "type") return SortPage::FileType;
    if (by == "size") return SortPage::FileSize;
    if (by == "date") return SortPage::FileDate;
    if (by == "picture") return SortPage::PicSize;
    if (by == "taken") return SortPage::TakenDate;
    return std::nullopt;
}

const char* ByName(SortPage page) {
    switch (page) {
        case SortPage::Keys:
            return "keys";
        case SortPage::FileName:
            return "name";
        case SortPage::FileType:
            return "type";
        case SortPage::FileSize:
            return "size";
        case SortPage::FileDate:
            return "date";
        case SortPage::PicSize:
            return "picture";
        case SortPage::TakenDate:
            return "taken";
    }
    return "?";
}

// An option given for another page than the run's.
std::optional<ChoiceError> CheckPageOptions(const CliRequest& r, SortPage page, bool folders) {
    struct Belongs {
        bool given;
        const char* option;
        SortPage page;
    };
    const Belongs options[] = {
        {r.keywords.has_value(), "--keywords", SortPage::Keys},
        {r.range.has_value(), "--range", SortPage::FileName},
        {r.filter.has_value(), "--filter", SortPage::FileName},
        {r.onlyExisting, "--only-existing", SortPage::FileName},
        {r.size.has_value(), "--size", SortPage::FileSize},
        {r.date.has_value(), "--date", SortPage::FileDate},
        {r.dateOf.has_value(), "--date-of", SortPage::FileDate},
        {r.width.has_value(), "--width", SortPage::PicSize},
        {r.height.has_value(), "--height", SortPage::PicSize},
        {r.types.has_value(), "--types", SortPage::PicSize},
        {r.group.has_value(), "--group", SortPage::TakenDate},
        {r.fallback.has_value(), "--fallback", SortPage::TakenDate},
        {r.unknown.has_value(), "--unknown", SortPage::TakenDate},
        {r.skipUnknown, "--skip-unknown", SortPage::TakenDate},
    };
    for (const Belongs& b : options) {
        // The taken-date page has a type list of its own, as the picture page has.
        const bool alsoTaken = b.page == SortPage::PicSize && page == SortPage::TakenDate &&
                               std::string_view(b.option) == "--types";
        if (b.given && b.page != page && !alsoTaken) {
            return Refuse(b.option, std::string(b.option) + " belongs to --by " + ByName(b.page) +
                                        ", but the run sorts by " + ByName(page));
        }
    }
    if (!folders && (page == SortPage::PicSize || page == SortPage::TakenDate)) {
        for (const auto& [given, option] : {std::pair{r.include.has_value(), "--include"},
                                            std::pair{r.exclude.has_value(), "--exclude"}}) {
            if (given)
                return Refuse(option, std::string(option) + " has no effect with --by " +
                                          ByName(page) + ": use --types");
        }
    }
    return std::nullopt;
}

std::optional<ChoiceError> BaseOptions(const CliRequest& r, bool folders, const std::string& cwd,
                                       SortOptions& options) {
    if (!r.useSettings) {
        // A window's first start, less the output folder, which must be chosen.
        options = folders ? FolderWindowOptions(FolderWindowSettings{})
                          : FileWindowOptions(FileWindowSettings{});
        options.outputDir.clear();
        return std::nullopt;
    }
    const std::string path = r.settingsFile.empty() || r.settingsFile == kDefaultSettingsFile
                                 ? DefaultSettingsPath()
                                 : AbsolutePath(r.settingsFile, cwd);
    if (!RegularFileExists(path))
        return Refuse("--settings", Format(MessageId::CliNoSettingsFile, {"--settings", path}));
    options = folders ? FolderWindowOptions(LoadFolderWindowSettings(path, DefaultOutputFolder()))
                      : FileWindowOptions(LoadFileWindowSettings(path, DefaultOutputFolder()));
    return std::nullopt;
}

SameFilePolicy PolicyNamed(const std::string& same) {
    if (same == "ask") return SameFilePolicy::Ask;
    if (same == "rename") return SameFilePolicy::Rename;
    if (same == "overwrite") return SameFilePolicy::Overwrite;
    if (same == "newer") return SameFilePolicy::EditFileTime;
    if (same == "identical") return SameFilePolicy::Identical;
    return SameFilePolicy::Skip;
}

}  // namespace

std::string AbsolutePath(const std::string& path, const std::string& cwd) {
    // A blank directory stays blank, so that the run refuses it as the window does.
    if (IsBlank(path) || path.front() == '/') return path;
    if (cwd.empty() || cwd.back() == '/') return cwd + path;
    return cwd + "/" + path;
}

std::optional<SizeChoice> ParseSizeChoice(const std::string& typed) {
    std::string text = Trimmed(typed);
    SizeChoice choice;
    if (text.empty() || (text[0] != '>' && text[0] != '<')) return std::nullopt;
    choice.condition = text[0] == '>' ? SizeCondition::Greater : SizeCondition::Less;
    text = Trimmed(std::string_view(text).substr(1));
    size_t digits = 0;
    while (digits < text.size() &&
           ((text[digits] >= '0' && text[digits] <= '9') || text[digits] == '.'))
        ++digits;
    choice.number = text.substr(0, digits);
    const std::string unit = AsciiUpper(Trimmed(std::string_view(text).substr(digits)));
    if (choice.number.empty()) return std::nullopt;
    if (unit.empty() || unit == "KB" || unit == "K") {
        choice.unit = SizeUnit::KB;
    } else if (unit == "MB" || unit == "M") {
        choice.unit = SizeUnit::MB;
    } else {
        return std::nullopt;
    }
    return choice;
}

std::optional<DateChoice> ParseDateChoice(const std::string& typed) {
    std::string text = Trimmed(typed);
    DateChoice choice;
    if (text.empty() || (text[0] != '>' && text[0] != '<')) return std::nullopt;
    choice.condition = text[0] == '<' ? DateCondition::Earlier : DateCondition::Later;
    text = Trimmed(std::string_view(text).substr(1));
    const size_t space = text.find_first_of(" T");
    const auto day = ParseDay(std::string_view(text).substr(0, space));
    if (!day) return std::nullopt;
    choice.date = *day;
    if (space != std::string::npos) {
        const auto clock = ParseClock(Trimmed(std::string_view(text).substr(space + 1)));
        if (!clock) return std::nullopt;
        choice.time = *clock;
    }
    return choice;
}

std::optional<PictureChoice> ParsePictureChoice(const std::string& typed) {
    std::string text = Trimmed(typed);
    PictureChoice choice;
    size_t skip = 0;
    if (text.rfind(">=", 0) == 0) {
        choice.condition = PicCondition::AtLeast;
        skip = 2;
    } else if (text.rfind("<=", 0) == 0) {
        choice.condition = PicCondition::AtMost;
        skip = 2;
    } else if (text.rfind("==", 0) == 0) {
        choice.condition = PicCondition::Exactly;
        skip = 2;
    } else if (text.rfind('=', 0) == 0) {
        choice.condition = PicCondition::Exactly;
        skip = 1;
    } else {
        return std::nullopt;
    }
    choice.number = Trimmed(std::string_view(text).substr(skip));
    if (!AllDigits(choice.number, false)) return std::nullopt;
    return choice;
}

std::optional<std::vector<std::string>> ParseTypePatterns(const std::string& text) {
    std::vector<std::string> patterns;
    for (std::string piece : SplitList(text)) {
        // A type is compared whole: "*" and "?" stand only for themselves.
        if (piece == "*") {
            patterns.push_back(std::move(piece));
            continue;
        }
        if (piece.rfind("*.", 0) == 0) {
            piece.erase(0, 2);
        } else if (piece.front() == '.') {
            piece.erase(0, 1);
        }
        if (piece.empty() || piece.find_first_of("*?/") != std::string::npos) return std::nullopt;
        patterns.push_back("*." + piece);
    }
    if (patterns.empty()) return std::nullopt;
    return patterns;
}

std::optional<std::vector<std::string>> ParsePictureTypes(const std::string& text) {
    bool chosen[std::size(kPictureTypes)] = {};
    const std::vector<std::string> pieces = SplitList(text);
    if (pieces.empty()) return std::nullopt;
    for (const std::string& piece : pieces) {
        std::string type = AsciiUpper(piece);
        if (type.rfind("*.", 0) == 0) type.erase(0, 2);
        if (!type.empty() && type.front() == '.') type.erase(0, 1);
        if (type == "JPEG" || type == "JPG;*.JPEG") type = "JPG";
        if (type == "TIFF") type = "TIF";
        bool known = false;
        for (size_t i = 0; i < std::size(kPictureTypes); ++i) {
            const std::string item = kPictureTypes[i];
            // Each item begins "*.<TYPE>".
            const size_t end = item.find(';');
            if (item.substr(2, end == std::string::npos ? std::string::npos : end - 2) == type) {
                chosen[i] = true;
                known = true;
            }
        }
        if (!known) return std::nullopt;
    }
    std::vector<std::string> items;
    for (size_t i = 0; i < std::size(kPictureTypes); ++i) {
        if (chosen[i]) items.emplace_back(kPictureTypes[i]);
    }
    return items;
}

// The taken-date page's types, named as in kTakenTypes without "*.".
std::optional<std::vector<std::string>> ParseTakenTypes(const std::string& text) {
    const std::vector<std::string> pieces = SplitList(text);
    if (pieces.empty()) return std::nullopt;
    std::vector<std::string> items;
    for (const std::string& piece : pieces) {
        std::string type = AsciiUpper(piece);
        if (type.rfind("*.", 0) == 0) type.erase(0, 2);
        if (!type.empty() && type.front() == '.') type.erase(0, 1);
        const auto known = std::find_if(std::begin(kTakenTypes), std::end(kTakenTypes),
                                        [&](const char* item) { return type == item + 2; });
        if (known == std::end(kTakenTypes)) return std::nullopt;
        if (std::find(items.begin(), items.end(), *known) == items.end())
            items.emplace_back(*known);
    }
    return items;
}

std::optional<ChoiceError> ResolveOptions(const CliRequest& r, bool folders, const std::string& cwd,
                                          SortOptions& o) {
    if (auto error = BaseOptions(r, folders, cwd, o)) return error;
    if (!r.by && !r.useSettings) {
        return Refuse("--by", Format(MessageId::CliChooseCriterion,
                                     {"--by", folders ? "keys, name"
                                                      : "keys, name, type, size, date, picture, taken"}));
    }
    return ApplyLineChoices(r, folders, cwd, o);
}

std::optional<ChoiceError> ApplyLineChoices(const CliRequest& r, bool folders,
                                            const std::string& cwd, SortOptions& o) {
    if (r.by) o.page = *PageNamed(*r.by);
    if (auto error = CheckPageOptions(r, o.page, folders)) return error;

    if (r.keywords) o.keywordText = *r.keywords;
    if (r.range) {
        const size_t colon = r.range->find(':');
        if (colon == std::string::npos)
            return Refuse("--range", Format(MessageId::CliRangeForm, {"--range"}));
        o.useNamePart = true;
        o.partBeginText = Trimmed(std::string_view(*r.range).substr(0, colon));
        o.partEndText = Trimmed(std::string_view(*r.range).substr(colon + 1));
        // The window takes the two either way round; typed on a line, 3:1 is a slip.
        const auto begin = ParseInt32(o.partBeginText);
        const auto end = ParseInt32(o.partEndText);
        if (begin && end && *end < *begin)
            return Refuse("--range", Format(MessageId::CliRangeReversed,
                                            {"--range", o.partBeginText, o.partEndText}));
    }
    if (r.filter) o.nameFilter = *r.filter;
    if (r.onlyExisting) o.onlyMatchDir = true;

    if (r.size) {
        const auto size = ParseSizeChoice(*r.size);
        if (!size) return Refuse("--size", Format(MessageId::CliSizeForm, {"--size", *r.size}));
        o.sizeCondition = size->condition;
        o.sizeText = size->number;
        o.sizeUnit = size->unit;
    }
    if (r.date) {
        const auto date = ParseDateChoice(*r.date);
        if (!date) return Refuse("--date", Format(MessageId::CliDateForm, {"--date", *r.date}));
        o.dateCondition = date->condition;
        o.thresholdDate = date->date;
        o.thresholdTime = date->time;
    }
    if (r.dateOf)
        o.dateSource = *r.dateOf == "modified" ? DateSource::Modified : DateSource::Created;
    for (const auto& [given, option, dimension] :
         {std::tuple{&r.width, "--width", PicDimension::Width},
          std::tuple{&r.height, "--height", PicDimension::Height}}) {
        if (!*given) continue;
        const auto picture = ParsePictureChoice(**given);
        if (!picture) return Refuse(option, Format(MessageId::CliPixelsForm, {option, **given}));
        o.picDimension = dimension;
        o.picCondition = picture->condition;
        o.picText = picture->number;
    }
    if (r.types && o.page == SortPage::TakenDate) {
        const auto types = ParseTakenTypes(*r.types);
        if (!types)
            return Refuse("--types", Format(MessageId::CliTakenTypesForm, {"--types", *r.types}));
        o.takenPatterns = *types;
    } else if (r.types) {
        const auto types = ParsePictureTypes(*r.types);
        if (!types)
            return Refuse("--types", Format(MessageId::CliPictureTypesForm, {"--types", *r.types}));
        o.picturePatterns = *types;
    }
    if (r.group) {
        o.takenGroup = *r.group == "year"         ? TakenGroup::Year
                       : *r.group == "year/month" ? TakenGroup::YearThenMonth
                       : *r.group == "month"      ? TakenGroup::YearMonth
                                                  : TakenGroup::Day;
    }
    if (r.fallback) {
        o.takenFromName = r.fallback->find("name") != std::string::npos;
        o.takenFromModified = r.fallback->find("mtime") != std::string::npos;
    }
    if (r.unknown) {
        // One folder below the output folder: a name, not a path.
        if (r.unknown->empty() || r.unknown->find('/') != std::string::npos ||
            *r.unknown == "." || *r.unknown == "..")
            return Refuse("--unknown", Format(MessageId::CliUnknownFolderForm, {"--unknown", *r.unknown}));
        o.takenUnknownFolder = *r.unknown;
        o.takenSkipUnknown = false;
    }
    if (r.skipUnknown) o.takenSkipUnknown = true;
    for (const auto& [given, option, mode] :
         {std::tuple{&r.include, "--include", TypeFilterMode::Include},
          std::tuple{&r.exclude, "--exclude", TypeFilterMode::Exclude}}) {
        if (!*given) continue;
        const auto patterns = ParseTypePatterns(**given);
        if (!patterns) return Refuse(option, Format(MessageId::CliFileTypesForm, {option}));
        o.typeFilter = mode;
        o.typePatterns = *patterns;
    }

    // Copy unless asked otherwise: a window's stored choices never move; a
    // plan keeps its own way unless the line names one.
    if (r.move) o.transferMode = TransferMode::Move;
    if (r.copy) o.transferMode = TransferMode::Copy;
    if (r.same) o.sameFilePolicy = PolicyNamed(*r.same);
    if (r.jobs) o.copyJobs = *r.jobs;
    if (r.out) o.outputDir = AbsolutePath(*r.out, cwd);
    return std::nullopt;
}

}  // namespace zanfeld
