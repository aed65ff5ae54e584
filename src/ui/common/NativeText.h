#pragma once

#include <QString>
#include <string>

namespace zanfeld {

// Paths and option texts travel as native byte strings; Qt strings serve only
// for display and typing. These are the two crossings.
std::string ToNative(const QString& text);
QString FromNative(const std::string& bytes);
// A message of the layers below the windows (made in Chinese) as the user
// reads it: in the language chosen at start-up, its paths and names decoded
// as FromNative does.
QString FromEngine(const std::string& message);

}  // namespace zanfeld
