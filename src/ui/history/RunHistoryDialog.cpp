#include "RunHistoryDialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "AppTitle.h"
#include "MessageTexts.h"
#include "NativeText.h"
#include "RunJournal.h"
#include "RunSummary.h"

namespace zanfeld {

RunHistoryDialog::RunHistoryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RunHistoryDialog"));
    setWindowTitle(tr("%1 - 分拣记录").arg(AppTitle()));
    TblRuns = new QTableWidget(0, 7, this);
    TblRuns->setObjectName(QStringLiteral("TblRuns"));
    TblRuns->setHorizontalHeaderLabels({tr("开始时间"), tr("窗口"), tr("分拣方式"), tr("操作"),
                                        tr("输出目录"), tr("结果"), tr("状态")});
    TblRuns->setSelectionBehavior(QAbstractItemView::SelectRows);
    TblRuns->setSelectionMode(QAbstractItemView::SingleSelection);
    TblRuns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TblRuns->verticalHeader()->hide();
    // A path cut short keeps its root and its last folders, on one line.
    TblRuns->setTextElideMode(Qt::ElideMiddle);
    TblRuns->setWordWrap(false);
    TblRuns->horizontalHeader()->setStretchLastSection(true);
    BtnUndoRun = new QPushButton(tr("撤销所选分拣"), this);
    BtnUndoRun->setObjectName(QStringLiteral("BtnUndoRun"));
    BtnUndoRun->setEnabled(false);
    BtnClose = new QPushButton(tr("关闭"), this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnUndoRun);
    buttons->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TblRuns, 1);
    layout->addLayout(buttons);
    resize(kDefaultWidth, 420);

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
        const auto text = [](const std::string& utf8) { return FromEngine(utf8); };
        // A batch of the watcher is told apart from a run started by hand.
        const QString mode = run.automatic ? tr("%1（自动）").arg(text(RunSummary::mode(run)))
                                           : text(RunSummary::mode(run));
        const QStringList cells = {
            text(RunSummary::started(run)), text(RunSummary::window(run)),
            text(RunSummary::page(run)),    mode,
            FromNative(run.outputDir),      text(RunSummary::counts(journal, run)),
            text(RunSummary::state(run))};
        for (int column = 0; column < cells.size(); ++column)
            TblRuns->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    // Stretched, the last column keeps at least the width it had when its
    // stretching began: its contents' width, not the width it was made with.
    QHeaderView* header = TblRuns->horizontalHeader();
    header->setStretchLastSection(false);
    TblRuns->resizeColumnsToContents();
    header->setStretchLastSection(true);
    fitColumns();
    selectionChanged();
}

void RunHistoryDialog::fitColumns() {
    // The last column stretches over what the others leave, which may be
    // nothing: the room its own texts need counts instead.
    layout()->activate();
    QHeaderView* header = TblRuns->horizontalHeader();
    const int last = header->count() - 1;
    if (last < 0) return;
    int columns = 0;
    for (int column = 0; column < last; ++column) columns += header->sectionSize(column);
    // Stretched, it never gets less than the header's least section either.
    columns += std::max({static_cast<const QAbstractItemView*>(TblRuns)->sizeHintForColumn(last),
                         header->sectionSizeHint(last), header->minimumSectionSize()});
    // The viewport of a dialog not yet shown has not been laid out: the
    // table's own width, less its frame, is what the columns get; less again
    // the scroll bar that a record of many runs brings.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, TblRuns);
    const int chrome = width() - TblRuns->width() + 2 * TblRuns->frameWidth() + scrollBar;
    // Long paths are cut short in the middle rather than making the dialog
    // wider than the screen or half as wide again as it was made.
    int widest = kDefaultWidth * 3 / 2;
    if (const QScreen* screen = this->screen())
        widest = std::min(widest, screen->availableGeometry().width());
    widest = std::max(widest, width());
    const int over = chrome + columns - widest;
    if (over > 0) {
        const int paths = header->sectionSize(kOutputColumn);
        header->resizeSection(kOutputColumn, std::max(paths - over, std::min(paths, kLeastPaths)));
        columns -= paths - header->sectionSize(kOutputColumn);
    }
    const int needed = std::min(chrome + columns, widest);
    // Wider for texts that need it, never narrower than the user made it.
    if (needed > width()) resize(needed, height());
}

void RunHistoryDialog::selectionChanged() {
    const int row = TblRuns->currentRow();
    const bool chosen =
        !TblRuns->selectedItems().isEmpty() && row >= 0 && row < static_cast<int>(m_runs.size());
    BtnUndoRun->setEnabled(chosen && RunSummary::undoable(m_runs[static_cast<size_t>(row)]));
}

}  // namespace zanfeld
