#include "InputMethodOff.h"

#include <QInputMethodQueryEvent>
#include <QWidget>

namespace zanfeld {

void InputMethodOff::install(QWidget* target) {
    target->installEventFilter(new InputMethodOff(target));
    target->setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool InputMethodOff::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::InputMethodQuery) return QObject::eventFilter(watched, event);
    auto* query = static_cast<QInputMethodQueryEvent*>(event);
    if (!(query->queries() & Qt::ImEnabled)) return false;
    // The box answers the other queries itself; only its answer to this one changes.
    watched->event(query);
    query->setValue(Qt::ImEnabled, false);
    return true;
}

}  // namespace zanfeld
