#include "RunHistoryDialog.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "AppTitle.h"
#include "NativeText.h"
#include "RunJournal.h"

namespace zanfeld {

namespace {

const char* const kPages[] = {"按文件名匹配关键字分拣", "按文件名分拣",       "按文件类型分拣",
                              "按文件大小分拣",         "按文件日期属性分拣", "图像文件分拣"};

QString PageName(const JournalRun& run) {
    if (run.undoes != 0) return QStringLiteral("撤销");
    if (run.page >= 0 && run.page < static_cast<int>(std::size(kPages)))
        return QString::fromUtf8(kPages[run.page]);
    return QString();
}

QString Counts(const JournalRun& run) {
    const JournalCounts& c = run.counts;
    return QStringLiteral("已放置 %1，跳过 %2，改名 %3，覆盖 %4，失败 %5")
        .arg(c.placed)
        .arg(c.skipped)
        .arg(c.renamed)
        .arg(c.overwritten)
        .arg(c.failed);
}

QString State(const JournalRun& run) {
    QString state;
    if (!run.end) {
        state = QStringLiteral("未正常结束");
    } else {
        switch (run.end->kind) {
            case JournalEndKind::Finished:
                state = QStringLiteral("完成");
                break;
            case JournalEndKind::Stopped:
                state = QStringLiteral("已停止");
                break;
            case JournalEndKind::EndedEarly:
                state = QStringLiteral("中断");
                break;
        }
    }
    if (run.undoneBy != 0) state += QStringLiteral("，已撤销");
    return state;
}

bool Undoable(const JournalRun& run) { return run.undoneBy == 0 && run.undoes == 0; }

}  // namespace

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
        const QDateTime started = QDateTime::fromMSecsSinceEpoch(run.startedNs / 1000000);
        const QStringList cells = {
            started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            run.window == RunWindow::Folders ? QStringLiteral("文件夹") : QStringLiteral("文件"),
            PageName(run),
            run.mode == static_cast<int>(TransferMode::Move) ? QStringLiteral("移动")
                                                             : QStringLiteral("复制"),
            FromNative(run.outputDir),
            Counts(run),
            State(run)};
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
    BtnUndoRun->setEnabled(chosen && Undoable(m_runs[static_cast<size_t>(row)]));
}

}  // namespace zanfeld
