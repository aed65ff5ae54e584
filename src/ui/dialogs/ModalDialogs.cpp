#include "ModalDialogs.h"

#include <QDialog>

namespace zanfeld {

ModalDialogs::Script& ModalDialogs::script() {
    static Script s;
    return s;
}

int ModalDialogs::exec(QDialog& dialog) {
    if (script()) {
        // Copied, so a script that replaces itself is not destroyed while it runs.
        Script run = script();
        return run(dialog);
    }
    return dialog.exec();
}

void ModalDialogs::setScript(Script s) { script() = std::move(s); }

}  // namespace zanfeld
