#pragma once

class QApplication;

namespace zanfeld {

// Names the application "Zanfeld" and installs Qt's own Chinese texts, so the
// standard buttons read 是, 否, 确定 and 取消. Returns whether the
// translations were found.
bool SetUpApplication(QApplication& app);

}  // namespace zanfeld
