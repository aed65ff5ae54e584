#include "PreviewWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "AppTitle.h"
#include "BusyCursor.h"
#include "FilePickers.h"
#include "MessageBoxes.h"
#include "NativeText.h"
#include "PlanCsv.h"
#include "PlanTableModel.h"

namespace zanfeld {

PreviewWindow::PreviewWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(tr("%1 - 预览").arg(AppTitle()));
    m_model = new PlanTableModel(this);

    LblPlanCounts = new QLabel(this);
    LblPlanCounts->setObjectName(QStringLiteral("LblPlanCounts"));
    LblPlanCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A plan with every kind of action has a long line; a narrow window
    // wraps it rather than cut it off.
    LblPlanCounts->setWordWrap(true);

    CmbPlanFilter = new QComboBox(this);
    CmbPlanFilter->setObjectName(QStringLiteral("CmbPlanFilter"));
    // In the order of PlanTableModel::Filter.
    CmbPlanFilter->addItems({tr("全部"), tr("只看同名冲突"), tr("只看问题")});

    TblPlan = new QTableView(this);
    TblPlan->setObjectName(QStringLiteral("TblPlan"));
    TblPlan->setModel(m_model);
    TblPlan->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TblPlan->setSelectionBehavior(QAbstractItemView::SelectRows);
    TblPlan->setWordWrap(false);
    // The ends of a path say the most: its root and its name.
    TblPlan->setTextElideMode(Qt::ElideMiddle);
    TblPlan->setSortingEnabled(false);
    // Every row as high as the next, so that the view never measures rows.
    QHeaderView* rows = TblPlan->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(TblPlan->fontMetrics().height() + 6);
    QHeaderView* columns = TblPlan->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(true);
    // Set widths: sizing to contents would read every row.
    TblPlan->setColumnWidth(PlanTableModel::SourceColumn, 300);
    TblPlan->setColumnWidth(PlanTableModel::FolderColumn, 200);
    TblPlan->setColumnWidth(PlanTableModel::TargetColumn, 300);

    BtnExportPlan = new QPushButton(tr("导出…"), this);
    BtnExportPlan->setObjectName(QStringLiteral("BtnExportPlan"));
    BtnExportPlan->setToolTip(tr("将整个预览（不论筛选）保存为 CSV 文件"));
    BtnClosePlan = new QPushButton(tr("关闭"), this);
    BtnClosePlan->setObjectName(QStringLiteral("BtnClosePlan"));

    auto* top = new QHBoxLayout;
    top->addWidget(LblPlanCounts, 1);
    top->addWidget(CmbPlanFilter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnExportPlan);
    buttons->addWidget(BtnClosePlan);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(TblPlan, 1);
    layout->addLayout(buttons);
    resize(1000, 560);

    connect(CmbPlanFilter, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0) return;
        m_model->setFilter(static_cast<PlanTableModel::Filter>(index));
    });
    connect(BtnExportPlan, &QPushButton::clicked, this, [this] { exportPlan(); });
    connect(BtnClosePlan, &QPushButton::clicked, this, &QDialog::reject);
    setPlan(RunPlan{});
}

void PreviewWindow::setPlan(RunPlan plan) {
    setPlan(std::make_shared<const RunPlan>(std::move(plan)));
}

void PreviewWindow::setPlan(std::shared_ptr<const RunPlan> plan) {
    m_model->setPlan(std::move(plan));
    LblPlanCounts->setText(m_model->countsText());
    TblPlan->scrollToTop();
}

void PreviewWindow::exportPlan() {
    const QString path =
        FilePickers::saveFile(this, QStringLiteral("plan.csv"), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty()) return;
    const std::string native = ToNative(path);
    int error = 0;
    {
        BusyCursor busy;
        error = PlanCsv::save(native, m_model->plan());
    }
    if (error != 0) MessageBoxes::error(this, PlanCsv::errorMessage(native, error));
}

}  // namespace zanfeld
