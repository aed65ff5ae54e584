#pragma once

#include <QListWidget>

namespace zanfeld {

// A list box that lays its rows out in a fixed number of columns, filling
// each column from top to bottom before the next.
class ColumnListWidget : public QListWidget {
    Q_OBJECT
  public:
    explicit ColumnListWidget(int columns, QWidget* parent = nullptr);

    // Makes the box high enough for this many rows and a horizontal scroll bar.
    void setVisibleRows(int rows);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void updateGrid();
    int rowHeight() const;
    int m_columns;
};

}  // namespace zanfeld
