#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace zanfeld {

// Picks one or more plans, in order, for a watched folder: each plan is
// checked in the order it is to be applied, and the order so far is shown
// beneath the list. 确定 takes at least one.
class PlanPickDialog : public QDialog {
    Q_OBJECT
  public:
    PlanPickDialog(const std::vector<std::string>& names, QWidget* parent = nullptr);

    // The checked plans in the order they were checked.
    const std::vector<std::string>& chosen() const { return m_order; }

    QLabel* LblPlans;
    QListWidget* LstPlans;  // the plans, each with a box
    QLabel* LblOrder;       // "应用顺序：A → B"
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

  private:
    void itemChanged(int row);

    std::vector<std::string> m_names;
    std::vector<std::string> m_order;
};

}  // namespace zanfeld
