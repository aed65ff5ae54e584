#pragma once

#include <QString>
#include <string>

namespace zanfeld {

// Paths and option texts travel as native byte strings; Qt strings serve only
// for display and typing. These are the two crossings.
std::string ToNative(const QString& text);
QString FromNative(const std::string& bytes);

}  // namespace zanfeld
