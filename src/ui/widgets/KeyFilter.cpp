#include "KeyFilter.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include "InputMethodOff.h"

namespace zanfeld {

KeyFilter::KeyFilter(const QString& allowed, QObject* parent)
    : QObject(parent), m_allowed(allowed) {}

void KeyFilter::install(QWidget* target, const QString& allowed) {
    target->installEventFilter(new KeyFilter(allowed, target));
    InputMethodOff::install(target);
    if (auto* combo = qobject_cast<QComboBox*>(target); combo && combo->lineEdit()) {
        install(combo->lineEdit(), allowed);
    }
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
        // Moving focus, deleting forward and closing a dialog are not typing.
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Backspace:
            return false;
        default:
            break;
    }
    // Ctrl, alone or with Shift, makes a key a command (select all, copy,
    // undo, ...) that types nothing, as the box itself sees it; the box
    // carries it out. Any other key that brings text is typing.
    if (key->modifiers() == Qt::ControlModifier ||
        key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    const QString text = key->text();
    if (text.isEmpty()) return false;
    for (const QChar c : text) {
        if (c != QChar(u'\b') && !m_allowed.contains(c)) return true;
    }
    return false;
}

}  // namespace zanfeld
