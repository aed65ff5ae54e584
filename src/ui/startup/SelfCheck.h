#pragma once

#include <string>

namespace zanfeld {

// What an installed program needs of its surroundings at run time, looked
// at once: Qt's Chinese catalogue (for 是, 否, 确定, 取消), a font with
// Chinese characters, and the program's icon. Returns a line for each and
// whether all were found.
bool RunSelfCheck(bool translationsLoaded, std::string& report);

}  // namespace zanfeld
