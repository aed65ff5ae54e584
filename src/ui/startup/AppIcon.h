#pragma once

#include <QIcon>

namespace zanfeld {

// The application id: the name of the desktop entry, the AppStream component
// and the icon (data/).
inline constexpr const char* kAppId = "io.github.zanfeld.Zanfeld";

// The application icon: the one the icon theme has under kAppId (the installed
// hicolor icons, or a theme's own drawing of it), else the built-in one.
QIcon AppIcon();

// The icon compiled into the program: the PNGs of data/icons/hicolor at 16,
// 32, 48, 64, 128 and 256 pixels.
QIcon BuiltInAppIcon();

}  // namespace zanfeld
