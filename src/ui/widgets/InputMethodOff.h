#pragma once

#include <QObject>

class QWidget;

namespace zanfeld {

// Keeps input methods away from a box. The widget attribute alone does not:
// a line edit (and so an editable combo box) still tells the platform that it
// takes input-method text, and an input method could put any text into the
// box past a key filter. The box answers that it takes none.
class InputMethodOff : public QObject {
    Q_OBJECT
  public:
    explicit InputMethodOff(QObject* parent) : QObject(parent) {}

    // Installs a filter owned by target.
    static void install(QWidget* target);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zanfeld
