#include "ColumnListWidget.h"

#include <QResizeEvent>
#include <QStyle>
#include <algorithm>

namespace zanfeld {

ColumnListWidget::ColumnListWidget(int columns, QWidget* parent)
    : QListWidget(parent), m_columns(std::max(1, columns)) {
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    updateGrid();
}

void ColumnListWidget::resizeEvent(QResizeEvent* event) {
    QListWidget::resizeEvent(event);
    updateGrid();
}

int ColumnListWidget::rowHeight() const {
    return std::max(fontMetrics().height(), style()->pixelMetric(QStyle::PM_IndicatorHeight)) + 2;
}

void ColumnListWidget::setVisibleRows(int rows) {
    // Rows flow into further columns, never under a vertical bar; room is kept
    // for the horizontal bar that more columns than fit bring along.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setFixedHeight(rows * rowHeight() + bar + 2 * frameWidth() + 2);
}

void ColumnListWidget::updateGrid() {
    // A little short of the full width, so the last column never spills over.
    const int width = std::max(16, (viewport()->width() - 4) / m_columns);
    const QSize grid(width, rowHeight());
    if (gridSize() != grid) setGridSize(grid);
}

}  // namespace zanfeld
