#pragma once

#include <QString>

namespace zanfeld {

// The program's name as the user sees it in captions and message boxes.
inline constexpr const char* kAppName = "Zanfeld";
// The program's version, shown in the about box and asked of the about page.
extern const char* const kAppVersion;

// The application title: the caption of the sorting windows and of every
// message box.
QString AppTitle();

}  // namespace zanfeld
