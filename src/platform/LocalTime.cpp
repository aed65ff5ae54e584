#include "LocalTime.h"

#include <time.h>

namespace zanfeld {

LocalDateTime ToLocalDateTime(const FileTime& time) {
    const time_t seconds = static_cast<time_t>(time.sec);
    struct tm local;
    // localtime_r applies the offset (daylight saving included) in force at
    // that moment. A time it cannot convert gives year 0.
    if (!::localtime_r(&seconds, &local)) return {};
    LocalDateTime out;
    out.year = local.tm_year + 1900;
    out.month = local.tm_mon + 1;
    out.day = local.tm_mday;
    out.hour = local.tm_hour;
    out.minute = local.tm_min;
    out.second = local.tm_sec;
    return out;
}

}  // namespace zanfeld
