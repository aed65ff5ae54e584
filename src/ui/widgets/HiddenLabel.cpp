#include "HiddenLabel.h"

namespace zanfeld {

HiddenLabel::HiddenLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    // Hidden before the window is shown, it stays hidden with it.
    hide();
}

HiddenLabel* HiddenLabel::name(QWidget* control, const QString& text) {
    QWidget* parent = control->parentWidget();
    Q_ASSERT(parent);
    if (!parent) {
        // Without a parent there is no place for a label; the name is all
        // that can be given.
        control->setAccessibleName(text);
        return nullptr;
    }
    auto* label = new HiddenLabel(text, parent);
    label->setBuddy(control);
    return label;
}

}  // namespace zanfeld
