#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zanfeld {

// Integer texts as the option boxes and the settings file take them: leading
// blanks, one optional sign, then decimal digits or a hexadecimal number after
// "$", "x"/"X" or "0x"/"0X". Anything else (trailing blanks included) and any
// value outside the type's range gives nothing.
std::optional<int32_t> ParseInt32(std::string_view text);
std::optional<int64_t> ParseInt64(std::string_view text);

}  // namespace zanfeld
