#pragma once

#include <functional>

class QDialog;

namespace zanfeld {

// Shows the program's own dialogs modally. Tests install a script that plays
// the user's part on the dialog (fills its controls, presses its buttons) and
// returns the dialog's result instead of running a modal loop.
class ModalDialogs {
  public:
    using Script = std::function<int(QDialog&)>;

    // QDialog::Accepted or QDialog::Rejected.
    static int exec(QDialog& dialog);

    // An empty script goes back to real modal dialogs.
    static void setScript(Script script);

  private:
    static Script& script();
};

}  // namespace zanfeld
