#pragma once

#include <QCoreApplication>
class QFrame;
class QRadioButton;

namespace zanfeld {

// The strip at the top of both sorting windows (Panel9) whose two radio
// buttons switch between the file window and the folder window. The window
// that builds it connects the button that leads to the other window.
class SwitchStrip {
    Q_DECLARE_TR_FUNCTIONS(SwitchStrip)

  public:
    enum class Window { Files, Folders };

    // own: the window the strip sits in; its button starts checked.
    explicit SwitchStrip(Window own);

    QFrame* Panel9;
    QRadioButton* RbForm1;  // "文件分拣"
    QRadioButton* RbForm6;  // "文件夹（目录）分拣"
};

}  // namespace zanfeld
