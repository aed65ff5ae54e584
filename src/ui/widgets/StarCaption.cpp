#include "StarCaption.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace zanfeld {

StarCaption::StarCaption(const QString& text, QWidget* parent) : QLabel(text, parent) {
    const qsizetype star = text.indexOf(QLatin1Char('*'));
    m_before = star < 0 ? text : text.left(star);
    m_after = star < 0 ? QString() : text.mid(star + 1);
    // The caption is painted here, never as rich text or with a mnemonic.
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

int StarCaption::starWidth() const { return fontMetrics().height(); }

QSize StarCaption::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    return QSize(fm.horizontalAdvance(m_before) + starWidth() + fm.horizontalAdvance(m_after) + 2,
                 fm.height() + 2);
}

void StarCaption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm = fontMetrics();
    const int baseline = (height() - fm.height()) / 2 + fm.ascent();
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(0, baseline, m_before);
    int x = fm.horizontalAdvance(m_before);

    const qreal outer = starWidth() * 0.42;
    const qreal inner = outer * 0.42;
    const QPointF centre(x + starWidth() / 2.0, height() / 2.0);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2 == 0) ? outer : inner;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(r * qCos(angle), r * qSin(angle));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe0, 0x10, 0x10));
    p.drawPolygon(star);
    x += starWidth();

    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(x, baseline, m_after);
}

}  // namespace zanfeld
