#include "DateRule.h"

#include "FileOps.h"
#include "LocalTime.h"
#include "Placement.h"
#include "ShortDate.h"

namespace zanfeld {

namespace {
// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

int64_t DateRule::Slot(int year, int month, int day, int hour, int minute, int second) {
    const int64_t seconds =
        DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return FloorDiv(seconds, 2);
}

int64_t DateRule::FileSlot(const std::string& path, DateSource source) {
    const auto time = source == DateSource::Modified ? RegularFileTime(path) : CreationTimeOf(path);
    if (!time) return kUnavailable;
    const LocalDateTime t = ToLocalDateTime(*time);
    return Slot(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

bool DateRule::prepare(const SortOptions& options, SortHost&) {
    const CivilDate& d = options.thresholdDate;
    m_folder = ShortDateText(d.year, d.month, d.day);
    for (char& c : m_folder)
        if (c == '/' || c == '\\') c = '-';
    EnsureFolder(options.outputDir + m_folder);
    return true;
}

RuleOutcome DateRule::evaluate(const SortOptions& options, const std::string& sourcePath) {
    const CivilDate& d = options.thresholdDate;
    const TimeOfDay& t = options.thresholdTime;
    const int64_t threshold = Slot(d.year, d.month, d.day, t.hour, t.minute, t.second);
    const int64_t stamp = FileSlot(sourcePath, options.dateSource);
    const bool selected =
        options.dateCondition == DateCondition::Earlier ? stamp < threshold : stamp > threshold;
    return selected ? RuleOutcome::place(m_folder) : RuleOutcome::noMatch();
}

}  // namespace zanfeld
