#include "TakenDateRule.h"

#include "TextUtil.h"

#include <cstdio>

#include "FileOps.h"
#include "NameDate.h"
#include "PathNames.h"
#include "TakenDate.h"
#include "TakenTime.h"

namespace zanfeld {

bool TakenDateRule::prepare(const SortOptions&, SortHost&) { return true; }

std::optional<LocalDateTime> TakenDateRule::DateOf(const SortOptions& options,
                                                   const std::string& sourcePath) {
    if (auto taken = ReadTakenDate(sourcePath)) return taken;
    if (options.takenFromName) {
        if (auto named = DateFromName(FileNameOf(sourcePath))) return named;
    }
    if (options.takenFromModified) {
        if (const auto time = RegularFileTime(sourcePath)) {
            const LocalDateTime local = ToLocalDateTime(*time);
            if (IsPlausibleTakenTime(local)) return local;
        }
    }
    return std::nullopt;
}

std::string TakenDateRule::FolderOf(const LocalDateTime& date, TakenGroup group) {
    char text[32];
    switch (group) {
        case TakenGroup::Year:
            std::snprintf(text, sizeof text, "%04d", date.year);
            break;
        case TakenGroup::YearThenMonth:
            std::snprintf(text, sizeof text, "%04d%c%02d", date.year, kPathSeparator, date.month);
            break;
        case TakenGroup::YearMonth:
            std::snprintf(text, sizeof text, "%04d-%02d", date.year, date.month);
            break;
        case TakenGroup::Day:
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
            break;
    }
    return text;
}

RuleOutcome TakenDateRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    if (const auto date = DateOf(options, sourcePath))
        return RuleOutcome::place(FolderOf(*date, options.takenGroup));
    if (options.takenSkipUnknown) return RuleOutcome::noMatch();
    // A blank folder name (a plan edited by hand) would drop the files into
    // the output folder itself, among the dated folders.
    if (IsBlank(options.takenUnknownFolder)) return RuleOutcome::place(SortOptions{}.takenUnknownFolder);
    return RuleOutcome::place(options.takenUnknownFolder);
}

}  // namespace zanfeld
