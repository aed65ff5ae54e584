#pragma once

#include <QDialog>
#include <memory>

#include "RunPlan.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace zanfeld {

class PlanTableModel;

// "预览": what a run would do with each file, before it is started. Shows the
// plan only; it never looks at or touches the files themselves. The owner
// gives it a plan and shows it (show(), or ModalDialogs::exec for a modal
// look).
class PreviewWindow : public QDialog {
    Q_OBJECT
  public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    // Shows plan in place of the one shown, under the filter chosen.
    void setPlan(RunPlan plan);
    void setPlan(std::shared_ptr<const RunPlan> plan);
    const PlanTableModel& model() const { return *m_model; }

    QLabel* LblPlanCounts;       // the counts per action
    QComboBox* CmbPlanFilter;    // 全部, 只看同名冲突, 只看问题
    QTableView* TblPlan;         // the plan, one row per file
    QPushButton* BtnExportPlan;  // "导出…": the whole plan as a CSV file
    QPushButton* BtnClosePlan;   // "关闭"

  private:
    void exportPlan();

    PlanTableModel* m_model;
};

}  // namespace zanfeld
