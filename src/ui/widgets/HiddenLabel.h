#pragma once

#include <QLabel>
#include <QString>

namespace zanfeld {

// A label that is never shown: it names a control for screen readers where
// the window shows no label beside it. A combo box needs one: on Linux and
// macOS a combo box's accessible name is its current item, whatever
// setAccessibleName says, and only a label (its buddy) tells what it is for.
class HiddenLabel : public QLabel {
    Q_OBJECT
  public:
    // Names control with text. The label sits beside control in its parent,
    // where assistive technology looks for labels; control must have its
    // parent already.
    static HiddenLabel* name(QWidget* control, const QString& text);

  private:
    HiddenLabel(const QString& text, QWidget* parent);
};

}  // namespace zanfeld
