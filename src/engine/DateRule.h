#pragma once

#include <cstdint>
#include <optional>

#include "SortRule.h"

namespace zanfeld {

// Page FileDate: files whose last-write time lies strictly before or after a
// threshold moment go into one folder named after the threshold date.
class DateRule : public SortRule {
  public:
    bool prepare(const SortOptions& options, SortHost& host) override;
    RuleOutcome evaluate(const SortOptions& options, const std::string& sourcePath) override;
    bool foldersPrepared() const override { return true; }

    const std::string& folder() const { return m_folder; }

    // A local date-time as a count of two-second slots, the granularity at
    // which stamps compare. Unreadable stamps are kUnavailable, below all others.
    static constexpr int64_t kUnavailable = INT64_MIN;
    static int64_t Slot(int year, int month, int day, int hour, int minute, int second);
    static int64_t FileSlot(const std::string& path, DateSource source);

  private:
    std::string m_folder;
};

}  // namespace zanfeld
