#pragma once

#include <cstdint>

#include "FileOps.h"

namespace zanfeld {

struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Converts with the time-zone offset in force at that moment.
LocalDateTime ToLocalDateTime(const FileTime& time);

}  // namespace zanfeld
