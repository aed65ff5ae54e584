#pragma once

namespace zanfeld {

// Whether a window system can be reached from this process: a Wayland
// compositor or an X server named by the environment whose socket answers.
// Qt's own platform plug-ins abort the process when none can; a diagnostic
// asks first and runs offscreen instead. On a desktop system without such
// variables (Windows) this is always true.
bool DisplayReachable();

}  // namespace zanfeld
