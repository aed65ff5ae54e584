#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace zanfeld {

// Lets only the given characters and backspace be typed into a box; every
// other typed character, control characters included, is discarded before
// the box sees it. Keys that type nothing (arrows, Delete, Tab, ...) and the
// box's Ctrl commands (Ctrl+A selects all) pass. Pasted text is not
// filtered: whoever reads the box checks it.
class KeyFilter : public QObject {
    Q_OBJECT
  public:
    KeyFilter(const QString& allowed, QObject* parent);

    // Installs a filter owned by target. The input method is switched off for
    // the box, as it would bring text around the filter. target is the box a
    // person types into: an editable combo box keeps the focus itself and
    // hands typed keys straight to its line edit, past any filter there, so
    // the box is filtered (and its line edit, for keys sent to it directly).
    static void install(QWidget* target, const QString& allowed);

    static inline const QString kDigits = QStringLiteral("0123456789");

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString m_allowed;
};

}  // namespace zanfeld
