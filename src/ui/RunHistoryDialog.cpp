#include "RunHistoryDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "AppTitle.h"
#include "NativeText.h"
#include "RunJournal.h"
#include "RunSummary.h"

namespace zanfeld {

RunHistoryDialog::RunHistoryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RunHistoryDialog"));
    setWindowTitle(AppTitle() + QStringLiteral(" - 分拣记录"));
    TblRuns = new QTableWidget(0, 7, this);
    TblRuns->setObjectName(QStringLiteral("TblRuns"));
    TblRuns->setHorizontalHeaderLabels({QStringLiteral("开始时间"), QStringLiteral("窗口"),
                                        QStringLiteral("分拣方式"), QStringLiteral("操作"),
                                        QStringLiteral("输出目录"), QStringLiteral("结果"),
                                        QStringLiteral("状态")});
    TblRuns->setSelectionBehavior(QAbstractItemView::SelectRows);
    TblRuns->setSelectionMode(QAbstractItemView::SingleSelection);
    TblRuns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TblRuns->verticalHeader()->hide();
    TblRuns->horizontalHeader()->setStretchLastSection(true);
    BtnUndoRun = new QPushButton(QStringLiteral("撤销所选分拣"), this);
    BtnUndoRun->setObjectName(QStringLiteral("BtnUndoRun"));
    BtnUndoRun->setEnabled(false);
    BtnClose = new QPushButton(QStringLiteral("关闭"), this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnUndoRun);
    buttons->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TblRuns, 1);
    layout->addLayout(buttons);
    resize(900, 420);

    connect(TblRuns, &QTableWidget::itemSelectionChanged, this, [this] { selectionChanged(); });
    connect(BtnUndoRun, &QPushButton::clicked, this, [this] {
        const int row = TblRuns->currentRow();
        if (row < 0 || row >= static_cast<int>(m_runs.size())) return;
        m_chosen = m_runs[static_cast<size_t>(row)].id;
        accept();
    });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void RunHistoryDialog::load(RunJournal& journal) {
    m_runs = journal.runs(0);
    m_chosen = 0;
    TblRuns->clearContents();
    TblRuns->setRowCount(static_cast<int>(m_runs.size()));
    for (int row = 0; row < static_cast<int>(m_runs.size()); ++row) {
        const JournalRun& run = m_runs[static_cast<size_t>(row)];
        const auto text = [](const std::string& utf8) { return QString::fromUtf8(utf8); };
        const QStringList cells = {text(RunSummary::started(run)), text(RunSummary::window(run)),
                                   text(RunSummary::page(run)),    text(RunSummary::mode(run)),
                                   FromNative(run.outputDir),      text(RunSummary::counts(run)),
                                   text(RunSummary::state(run))};
        for (int column = 0; column < cells.size(); ++column)
            TblRuns->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    TblRuns->resizeColumnsToContents();
    selectionChanged();
}

void RunHistoryDialog::selectionChanged() {
    const int row = TblRuns->currentRow();
    const bool chosen =
        !TblRuns->selectedItems().isEmpty() && row >= 0 && row < static_cast<int>(m_runs.size());
    BtnUndoRun->setEnabled(chosen && RunSummary::undoable(m_runs[static_cast<size_t>(row)]));
}

}  // namespace zanfeld
