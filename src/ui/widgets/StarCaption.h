#pragma once

#include <QString>
#include <QWidget>

namespace zanfeld {

// A caption whose one asterisk is drawn as a red star.
class StarCaption : public QWidget {
    Q_OBJECT
  public:
    // text holds exactly one "*", the place of the star.
    explicit StarCaption(const QString& text, QWidget* parent = nullptr);

    // The caption as plain text, the star written as "*".
    QString text() const { return m_before + QLatin1Char('*') + m_after; }
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
