#include "AutoSortDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>
#include <tuple>

#include "AppTitle.h"
#include "AutostartEntry.h"
#include "FileOps.h"
#include "FilePickers.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "NativeText.h"
#include "PlanPickDialog.h"
#include "RunJournal.h"
#include "RunSummary.h"
#include "SettingsFile.h"
#include "SortPlans.h"
#include "WatcherProcess.h"

namespace zanfeld {

namespace {

enum Column { kOn, kFolder, kPlans, kDepth };

// How long a watcher asked to stop is given before the dialog gives up on
// restarting it: it stops between files, and a file may be large.
constexpr int kStopWaitMs = 3000;
// How long a started watcher is given to take its lock.
constexpr int kStartWaitMs = 2000;

// What a running watcher took from the list: the switched-on folders alone.
auto WatchedPart(const std::vector<WatchedFolder>& folders) {
    std::vector<std::tuple<std::string, std::vector<std::string>, int, bool>> on;
    for (const WatchedFolder& f : folders)
        if (f.on) on.emplace_back(f.folder, f.plans, f.depth, f.allLevels);
    return on;
}

}  // namespace

AutoSortDialog::AutoSortDialog(std::string settingsPath, QWidget* parent)
    : QDialog(parent), m_settingsPath(std::move(settingsPath)) {
    setObjectName(QStringLiteral("AutoSortDialog"));
    setWindowTitle(tr("%1 - 自动分拣").arg(AppTitle()));
    TblWatch = new QTableWidget(0, 4, this);
    TblWatch->setObjectName(QStringLiteral("TblWatch"));
    TblWatch->setAccessibleName(tr("自动分拣的文件夹"));
    TblWatch->setHorizontalHeaderLabels({tr("开启"), tr("文件夹"), tr("方案"), tr("子目录层数")});
    TblWatch->setSelectionBehavior(QAbstractItemView::SelectRows);
    TblWatch->setSelectionMode(QAbstractItemView::SingleSelection);
    TblWatch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TblWatch->verticalHeader()->hide();
    TblWatch->setTextElideMode(Qt::ElideMiddle);
    TblWatch->setWordWrap(false);
    // The folder's path takes the room; the switch, plans and depth their own width.
    QHeaderView* header = TblWatch->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    BtnAddWatch = new QPushButton(tr("添加文件夹…"), this);
    BtnAddWatch->setObjectName(QStringLiteral("BtnAddWatch"));
    BtnRemoveWatch = new QPushButton(tr("移除"), this);
    BtnRemoveWatch->setObjectName(QStringLiteral("BtnRemoveWatch"));
    LblDepth = new QLabel(tr("包括下级目录的层数："), this);
    LblDepth->setObjectName(QStringLiteral("LblDepth"));
    SpnDepth = new QSpinBox(this);
    SpnDepth->setObjectName(QStringLiteral("SpnDepth"));
    SpnDepth->setRange(0, 99);
    SpnDepth->setKeyboardTracking(false);  // a typed number counts once typed
    LblDepth->setBuddy(SpnDepth);
    ChkAllLevels = new QCheckBox(tr("所有下级目录"), this);
    ChkAllLevels->setObjectName(QStringLiteral("ChkAllLevels"));
    LblWatcher = new QLabel(this);
    LblWatcher->setObjectName(QStringLiteral("LblWatcher"));
    LblLastBatch = new QLabel(this);
    LblLastBatch->setObjectName(QStringLiteral("LblLastBatch"));
    BtnClose = new QPushButton(tr("关闭"), this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));

    auto* edit = new QHBoxLayout;
    edit->addWidget(BtnAddWatch);
    edit->addWidget(BtnRemoveWatch);
    edit->addSpacing(16);
    edit->addWidget(LblDepth);
    edit->addWidget(SpnDepth);
    edit->addWidget(ChkAllLevels);
    edit->addStretch(1);
    auto* bottom = new QHBoxLayout;
    auto* state = new QVBoxLayout;
    state->addWidget(LblWatcher);
    state->addWidget(LblLastBatch);
    bottom->addLayout(state, 1);
    bottom->addWidget(BtnClose, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TblWatch, 1);
    layout->addLayout(edit);
    layout->addLayout(bottom);
    resize(720, 360);

    connect(TblWatch, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (m_showing || item->column() != kOn) return;
        switchChanged(item->row(), item->checkState() == Qt::Checked);
    });
    connect(TblWatch, &QTableWidget::itemSelectionChanged, this, [this] { showSelected(); });
    connect(BtnAddWatch, &QPushButton::clicked, this, [this] { BtnAddWatchClick(); });
    connect(BtnRemoveWatch, &QPushButton::clicked, this, [this] { BtnRemoveWatchClick(); });
    connect(SpnDepth, &QSpinBox::valueChanged, this, [this] {
        if (!m_showing) depthChanged();
    });
    connect(ChkAllLevels, &QCheckBox::toggled, this, [this] {
        if (!m_showing) depthChanged();
    });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void AutoSortDialog::load(RunJournal* journal) {
    m_journal = journal;
    m_folders = LoadWatchedFolders(m_settingsPath);
    showRows();
    showWatcher();
}

std::vector<std::string> AutoSortDialog::watchCommand(bool forLogin) const {
    bool onPath = false;
    std::string program = WatcherProcess::findProgram(&onPath);
    // At login the session's PATH finds an installed program; one found
    // beside the window (a portable or a build tree) is named in full.
    if (forLogin && (program.empty() || onPath)) program = "zanfeld-cli";
    std::vector<std::string> command = {program, "watch", "--from-settings"};
    // One word: a bare --settings takes no value on the command line.
    if (m_settingsPath != DefaultSettingsPath()) command.push_back("--settings=" + m_settingsPath);
    return command;
}

// ---------------------------------------------------------------------------
// Showing

void AutoSortDialog::showRows() {
    const int selected = selectedRow();
    m_showing = true;
    TblWatch->setRowCount(static_cast<int>(m_folders.size()));
    // The cells are changed in place, never remade: a switch that was just
    // clicked is the item whose signal is still being delivered.
    const auto cell = [this](int row, int column) {
        QTableWidgetItem* item = TblWatch->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            if (column == kOn)
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            TblWatch->setItem(row, column, item);
        }
        return item;
    };
    for (int row = 0; row < static_cast<int>(m_folders.size()); ++row) {
        const WatchedFolder& f = m_folders[static_cast<size_t>(row)];
        cell(row, kOn)->setCheckState(f.on ? Qt::Checked : Qt::Unchecked);
        cell(row, kFolder)->setText(FromNative(f.folder));
        QStringList plans;
        for (const std::string& plan : f.plans) plans << FromNative(plan);
        cell(row, kPlans)->setText(plans.join(QStringLiteral(" → ")));
        cell(row, kDepth)->setText(f.allLevels ? tr("全部") : QString::number(f.depth));
    }
    TblWatch->resizeColumnsToContents();
    m_showing = false;
    if (selected >= 0 && selected < TblWatch->rowCount()) {
        TblWatch->selectRow(selected);
    } else if (TblWatch->rowCount() > 0) {
        TblWatch->selectRow(TblWatch->rowCount() - 1);
    }
    showSelected();
}

int AutoSortDialog::selectedRow() const {
    if (TblWatch->selectedItems().isEmpty()) return -1;
    const int row = TblWatch->currentRow();
    return row >= 0 && row < static_cast<int>(m_folders.size()) ? row : -1;
}

void AutoSortDialog::showSelected() {
    const int row = selectedRow();
    m_showing = true;
    BtnRemoveWatch->setEnabled(row >= 0);
    ChkAllLevels->setEnabled(row >= 0);
    if (row >= 0) {
        const WatchedFolder& f = m_folders[static_cast<size_t>(row)];
        SpnDepth->setValue(f.depth);
        ChkAllLevels->setChecked(f.allLevels);
    }
    SpnDepth->setEnabled(row >= 0 && !ChkAllLevels->isChecked());
    m_showing = false;
}

void AutoSortDialog::showWatcher() {
    const pid_t pid = WatcherProcess::running(m_settingsPath);
    LblWatcher->setText(pid > 0 ? tr("自动分拣正在运行（进程号 %1）。").arg(pid)
                                : tr("自动分拣没有运行。"));
    if (!m_journal || !m_journal->ok()) {
        LblLastBatch->clear();
        return;
    }
    for (const JournalRun& run : m_journal->runs(0)) {
        if (!run.automatic) continue;
        LblLastBatch->setText(tr("最近一批：%1，放置了 %2 个文件。")
                                  .arg(FromEngine(RunSummary::started(run)))
                                  .arg(run.counts.placed));
        return;
    }
    LblLastBatch->setText(tr("最近一批：还没有自动分拣过。"));
}

// ---------------------------------------------------------------------------
// Changes

QString AutoSortDialog::plansProblem(const std::vector<std::string>& names) const {
    if (names.empty()) return tr("请至少选择一个方案。");
    for (const std::string& name : names) {
        const std::optional<SortPlan> plan = LoadPlan(m_settingsPath, name);
        if (!plan || plan->folders) return tr("文件分拣方案“%1”已不存在。").arg(FromNative(name));
        // Nobody is there to answer the question while the watcher sorts.
        if (plan->options.sameFilePolicy == SameFilePolicy::Ask)
            return tr("方案“%1”在目标文件夹下存在同名文件时要询问，自动分拣时无人回答。"
                      "请把它的同名文件处理改为“相同则跳过”并保存后再选用。")
                .arg(FromNative(name));
    }
    return {};
}

void AutoSortDialog::BtnAddWatchClick() {
    const QString chosen = FilePickers::chooseFolder(this, tr("请选择要自动分拣的文件夹"));
    if (chosen.isEmpty()) return;
    const std::string folder = ToNative(chosen);
    const std::optional<FileId> id = FileIdOf(folder);
    if (!id || !DirExists(folder)) {
        MessageBoxes::information(this, tr("文件夹“%1”不存在。").arg(chosen));
        return;
    }
    // The same folder under another name (a link, a bind mount) is the same.
    for (const WatchedFolder& f : m_folders) {
        if (FileIdOf(f.folder) == id) {
            MessageBoxes::information(this, tr("文件夹“%1”已在自动分拣之列。").arg(chosen));
            return;
        }
    }
    std::vector<std::string> names;
    for (const SortPlan& plan : LoadPlans(m_settingsPath))
        if (!plan.folders) names.push_back(plan.name);
    if (names.empty()) {
        MessageBoxes::information(
            this, tr("还没有文件分拣方案。请先在文件分拣窗口中用“保存方案…”保存一个。"));
        return;
    }
    PlanPickDialog pick(names, this);
    if (ModalDialogs::exec(pick) != QDialog::Accepted) return;
    if (const QString problem = plansProblem(pick.chosen()); !problem.isEmpty()) {
        MessageBoxes::information(this, problem);
        return;
    }
    // Added switched off: the depth can be set before the watcher first
    // sorts what is already there.
    const std::vector<WatchedFolder> before = m_folders;
    WatchedFolder added;
    added.folder = folder;
    added.plans = pick.chosen();
    added.on = false;
    m_folders.push_back(std::move(added));
    TblWatch->clearSelection();
    apply(before);
}

void AutoSortDialog::BtnRemoveWatchClick() {
    const int row = selectedRow();
    if (row < 0) return;
    const std::vector<WatchedFolder> before = m_folders;
    m_folders.erase(m_folders.begin() + row);
    TblWatch->clearSelection();
    apply(before);
}

void AutoSortDialog::switchChanged(int row, bool on) {
    if (row < 0 || row >= static_cast<int>(m_folders.size())) return;
    WatchedFolder& f = m_folders[static_cast<size_t>(row)];
    if (f.on == on) return;
    if (on) {
        // A plan changed or deleted since the folder was added is looked at again.
        if (const QString problem = plansProblem(f.plans); !problem.isEmpty()) {
            MessageBoxes::information(this, problem);
            showRows();
            return;
        }
    }
    const std::vector<WatchedFolder> before = m_folders;
    f.on = on;
    apply(before);
}

void AutoSortDialog::depthChanged() {
    const int row = selectedRow();
    if (row < 0) return;
    WatchedFolder& f = m_folders[static_cast<size_t>(row)];
    if (f.depth == SpnDepth->value() && f.allLevels == ChkAllLevels->isChecked()) return;
    const std::vector<WatchedFolder> before = m_folders;
    f.depth = SpnDepth->value();
    f.allLevels = ChkAllLevels->isChecked();
    apply(before);
}

void AutoSortDialog::apply(const std::vector<WatchedFolder>& before) {
    if (const std::string error = SaveWatchedFolders(m_settingsPath, m_folders); !error.empty()) {
        MessageBoxes::error(this, FromEngine(error));
        m_folders = before;
        showRows();
        return;
    }
    showRows();
    const bool anyOn = !WatchedPart(m_folders).empty();
    const bool changed = WatchedPart(m_folders) != WatchedPart(before);
    if (!anyOn) {
        if (WatcherProcess::running(m_settingsPath) > 0 &&
            !WatcherProcess::stop(m_settingsPath, kStopWaitMs))
            MessageBoxes::information(this,
                                      tr("自动分拣没有及时停止，它会在处理完手头的文件后停止。"));
        if (const int error = RemoveAutostartEntry())
            MessageBoxes::error(
                this, tr("无法删除登录时启动的项目 %1：%2")
                          .arg(FromNative(AutostartEntryPath()), FromNative(ErrorText(error))));
        showWatcher();
        return;
    }
    if (const int error =
            WriteAutostartEntry(watchCommand(true), tr("Zanfeld 自动分拣").toStdString()))
        MessageBoxes::error(
            this, tr("无法写入登录时启动的项目 %1：%2")
                      .arg(FromNative(AutostartEntryPath()), FromNative(ErrorText(error))));
    if (WatcherProcess::running(m_settingsPath) > 0) {
        // It read the list when it started: one that runs on the old list
        // is started again, and one that runs on this very list is left be.
        if (!changed) {
            showWatcher();
            return;
        }
        if (!WatcherProcess::stop(m_settingsPath, kStopWaitMs)) {
            MessageBoxes::information(
                this, tr("正在运行的自动分拣没有及时停止，新的设置要等它再次启动后才生效。"));
            showWatcher();
            return;
        }
    }
    const std::vector<std::string> command = watchCommand(false);
    if (command.front().empty()) {
        MessageBoxes::error(this, tr("找不到 zanfeld-cli，自动分拣无法启动。"));
    } else if (const int error = WatcherProcess::start(command)) {
        MessageBoxes::error(
            this,
            tr("无法启动 %1：%2").arg(FromNative(command.front()), FromNative(ErrorText(error))));
    } else if (!WatcherProcess::waitRunning(m_settingsPath, kStartWaitMs)) {
        // It ended at once (a plan it refused, a folder gone): what it said
        // went to standard error, which nobody reads here.
        QStringList words;
        for (const std::string& word : command) words << FromNative(word);
        MessageBoxes::information(
            this, tr("自动分拣启动后没有运行起来。在终端中运行以下命令可看到原因：\n%1")
                      .arg(words.join(QLatin1Char(' '))));
    }
    showWatcher();
}

}  // namespace zanfeld
