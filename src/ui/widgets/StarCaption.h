#pragma once

#include <QLabel>
#include <QString>

namespace zanfeld {

// A caption whose one asterisk is drawn as a red star. It is a label, so it
// can name the box beneath it (setBuddy) for screen readers, which read its
// text with the "*".
class StarCaption : public QLabel {
    Q_OBJECT
  public:
    // text holds exactly one "*", the place of the star.
    explicit StarCaption(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int starWidth() const;
    QString m_before;
    QString m_after;
};

}  // namespace zanfeld
