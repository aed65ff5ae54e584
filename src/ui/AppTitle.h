#pragma once

#include <QString>

namespace zanfeld {

// The program's name as the user sees it in captions and message boxes.
inline constexpr const char* kAppName = "Zanfeld";
// The version the about page is asked for.
inline constexpr const char* kAppVersion = "2.3";

// The application title: the caption of the sorting windows and of every
// message box.
QString AppTitle();

}  // namespace zanfeld
