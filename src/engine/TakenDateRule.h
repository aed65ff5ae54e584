#pragma once

#include <optional>
#include <string>

#include "LocalTime.h"
#include "SortRule.h"

namespace zanfeld {

// Page TakenDate: photos and videos into a folder of the year, the month or
// the day they were taken, by their own record, else by their name, else by
// their last-write time, as the options allow; a file with no date goes to
// the folder for unknown dates, or is not selected.
class TakenDateRule : public SortRule {
  public:
    bool prepare(const SortOptions& options, SortHost& host) override;
    RuleOutcome evaluate(const SortOptions& options, const std::string& sourcePath) override;

    // The date the file is sorted by, in the order above.
    static std::optional<LocalDateTime> DateOf(const SortOptions& options,
                                               const std::string& sourcePath);
    // The folder of a date, relative to the output folder: "2024",
    // "2024/05" (a month's folder inside the year's), "2024-05", "2024-05-06".
    static std::string FolderOf(const LocalDateTime& date, TakenGroup group);
};

}  // namespace zanfeld
