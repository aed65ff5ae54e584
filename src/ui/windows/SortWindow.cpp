#include "SortWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "FileOps.h"
#include "FormParts.h"
#include "HiddenLabel.h"
#include "KeywordPage.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "NativeText.h"
#include "PathNames.h"
#include "PlanStrip.h"
#include "PlanTableModel.h"
#include "PlanningHost.h"
#include "PreviewWindow.h"
#include "ResultGroup.h"
#include "RunControls.h"
#include "RunHistoryDialog.h"
#include "RunJournal.h"
#include "RunPlan.h"
#include "RunPlanner.h"
#include "RunUndo.h"
#include "SettingsFile.h"
#include "SharedJournal.h"
#include "SortIllustration.h"
#include "TextUtil.h"
#include "Unit4.h"

namespace zanfeld {

using P = FormParts;

namespace {

// Names the preview's table and its filter box for screen readers: a table
// takes no name from a label, and a combo box's name is its current item.
void NameForScreenReaders(PreviewWindow& preview) {
    preview.TblPlan->setAccessibleName(SortWindow::tr("预览"));
    HiddenLabel::name(preview.CmbPlanFilter, SortWindow::tr("筛选"));
}

}  // namespace

SortWindow::SortWindow(std::string settingsPath, std::string defaultOutDir, Qt::WindowFlags flags,
                       QWidget* parent)
    : QWidget(parent, flags),
      m_settingsPath(std::move(settingsPath)),
      m_defaultOutDir(std::move(defaultOutDir)) {
    RootLayout = new QVBoxLayout(this);
    RootLayout->setContentsMargins(4, 4, 4, 4);
    RootLayout->setSpacing(3);
}

SortWindow::~SortWindow() = default;

// ---------------------------------------------------------------------------
// Building

void SortWindow::buildSwitchStrip(SwitchStrip::Window own) {
    const SwitchStrip strip(own);
    Panel9 = strip.Panel9;
    RbForm1 = strip.RbForm1;
    RbForm6 = strip.RbForm6;
    const bool files = own == SwitchStrip::Window::Files;
    m_ownButton = files ? RbForm1 : RbForm6;
    m_awayButton = files ? RbForm6 : RbForm1;
    // The plans take the room the two buttons leave, right-aligned.
    m_plans = std::make_unique<PlanStrip>(*this, m_settingsPath, !files);
    LblPlan = m_plans->LblPlan;
    CmbPlan = m_plans->CmbPlan;
    BtnSavePlan = m_plans->BtnSavePlan;
    BtnDeletePlan = m_plans->BtnDeletePlan;
    {
        auto* plans = new QHBoxLayout;
        plans->setSpacing(6);
        for (QWidget* w :
             {static_cast<QWidget*>(LblPlan), static_cast<QWidget*>(CmbPlan),
              static_cast<QWidget*>(BtnSavePlan), static_cast<QWidget*>(BtnDeletePlan)})
            plans->addWidget(w);
        static_cast<QHBoxLayout*>(Panel9->layout())->addLayout(plans);
    }
    RootLayout->addWidget(Panel9);
    connect(m_awayButton, &QRadioButton::clicked, this, [this] { switchWindow(); });
}

void SortWindow::buildListArea(const SourceListGroup::Texts& texts) {
    m_list = std::make_unique<SourceListGroup>(this, texts);
    m_listsFolders = texts.kind == ListKind::Folders;
    GroupBox1 = m_list->GroupBox1;
    ListBox1 = m_list->ListBox1;
    Button1 = m_list->Button1;
    Button5 = m_list->Button5;
    Button2 = m_list->Button2;
    Button6 = m_list->Button6;
    BtnSaveFileList = m_list->BtnSaveFileList;
    BtnImpFileList = m_list->BtnImpFileList;
    RootLayout->addWidget(GroupBox1, 1);  // the one area that grows with the window

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(BtnSaveFileList, &QPushButton::clicked, this, [this] { BtnSaveFileListClick(); });
    connect(BtnImpFileList, &QPushButton::clicked, this, [this] { BtnImpFileListClick(); });
}

void SortWindow::buildSharedPages(SortIllustration::Kind keywords, SortIllustration::Kind name,
                                  const NamePage::Texts& nameTexts) {
    PageControl1 = P::pageControl();

    // Page 0: keywords.
    const KeywordPage keys(keywords);
    TabSheet1 = keys.TabSheet1;
    LblHeading1 = keys.LblHeading1;
    Image1 = keys.Image1;
    Label3 = keys.Label3;
    EdtKeys = keys.EdtKeys;

    // Page 1: the name.
    const NamePage names(name, nameTexts);
    TabSheet2 = names.TabSheet2;
    LblHeading2 = names.LblHeading2;
    Image2 = names.Image2;
    ChkFileNamePart = names.ChkFileNamePart;
    EdtPartNameBegin = names.EdtPartNameBegin;
    Label4 = names.Label4;
    EdtPartNameEnd = names.EdtPartNameEnd;
    Label5 = names.Label5;
    ImgFilter = names.ImgFilter;
    EdtFilter = names.EdtFilter;
    ChkOnlyMatchDir = names.ChkOnlyMatchDir;
}

void SortWindow::buildDateControls() {
    CmbFileDate = P::dropDown("CmbFileDate", {tr("早于"), tr("晚于")});
    DtDate = P::named(new QDateEdit(QDate(2013, 5, 6)), "DtDate");
    DtDate->setCalendarPopup(true);
    DtTime = P::named(new QTimeEdit(QTime(0, 0, 0)), "DtTime");
    DtTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    // No label stands beside the two boxes; each window labels CmbFileDate.
    DtDate->setAccessibleName(tr("日期"));
    DtTime->setAccessibleName(tr("时间"));
}

void SortWindow::buildResultArea() {
    m_result = std::make_unique<ResultGroup>();
    GroupBox3 = m_result->GroupBox3;
    Label1 = m_result->Label1;
    EdtOutDir = m_result->EdtOutDir;
    Button3 = m_result->Button3;
    Label2 = m_result->Label2;
    RbOverwrite = m_result->RbOverwrite;
    RbAsk = m_result->RbAsk;
    RbSkip = m_result->RbSkip;
    RbRename = m_result->RbRename;
    RbEditFileTime = m_result->RbEditFileTime;
    RbIdentical = m_result->RbIdentical;
    RootLayout->addWidget(GroupBox3);

    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    // The same-name answer is reread by a run before each file.
    for (QRadioButton* b : {RbOverwrite, RbAsk, RbSkip, RbRename, RbEditFileTime, RbIdentical})
        connect(b, &QRadioButton::toggled, this, [this] { liveOptionsChanged(); });
}

void SortWindow::buildModeArea(QRadioButton* move, const QString& copyText) {
    Panel2 = P::strip("Panel2");
    GroupBox2 = P::named(new QGroupBox(tr("分拣方式")), "GroupBox2");
    RbCopy = P::named(new QRadioButton(copyText), "RbCopy");
    RbCopy->setChecked(true);
    {
        auto* layout = new QVBoxLayout(GroupBox2);
        layout->setContentsMargins(6, 2, 6, 4);
        layout->setSpacing(0);
        if (move) layout->addWidget(move);
        layout->addWidget(RbCopy);
    }
    GroupBox4 = P::progressGroup(ProgressBar1, LblStatus);
    connect(RbCopy, &QRadioButton::toggled, this, [this] { liveOptionsChanged(); });
    auto* layout = new QHBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox2);
    layout->addWidget(GroupBox4, 1);
    RootLayout->addWidget(Panel2);
}

void SortWindow::buildBottomStrip() {
    Panel1 = P::startStrip(BtnCopy, BtnStop, BtnAout);
    RootLayout->addWidget(Panel1);
    // 预览 beside 开始处理; undo and the record of runs between 停止 and 关于.
    BtnPreview = P::named(new QPushButton(tr("预览(&P)")), "BtnPreview");
    BtnUndo = P::named(new QPushButton(tr("撤销上次分拣(&U)")), "BtnUndo");
    BtnHistory = P::named(new QPushButton(tr("分拣记录(&H)")), "BtnHistory");
    auto* strip = static_cast<QHBoxLayout*>(Panel1->layout());
    strip->insertWidget(strip->indexOf(BtnCopy) + 1, BtnPreview);
    strip->insertWidget(strip->indexOf(BtnAout), BtnUndo);
    strip->insertWidget(strip->indexOf(BtnAout), BtnHistory);
    // Tab goes along the row as it is seen; the buttons added later would
    // otherwise come after 关于.
    QWidget* previous = BtnCopy;
    for (QWidget* next : {BtnPreview, BtnStop, BtnUndo, BtnHistory, BtnAout}) {
        setTabOrder(previous, next);
        previous = next;
    }
    connect(BtnPreview, &QPushButton::clicked, this, [this] { BtnPreviewClick(); });
    connect(BtnUndo, &QPushButton::clicked, this, [this] { BtnUndoClick(); });
    connect(BtnHistory, &QPushButton::clicked, this, [this] { BtnHistoryClick(); });

    connect(BtnCopy, &QPushButton::clicked, this, [this] { BtnCopyClick(); });
    connect(BtnStop, &QPushButton::clicked, this, [this] { BtnStopClick(); });
    connect(BtnAout, &QPushButton::clicked, this, [this] { BtnAoutClick(); });
}

void SortWindow::finishBuilding(int width, int height) {
    m_run = std::make_unique<RunControls>(
        RunControls::Parts{this,
                           BtnCopy,
                           PageControl1,
                           Button3,
                           EdtOutDir,
                           ProgressBar1,
                           BtnStop,
                           LblStatus,
                           m_listsFolders,
                           {BtnPreview, BtnUndo, BtnHistory, CmbPlan}});
    m_run->setFinished([this] { runEnded(); });
    // The status line tells the list's length while no run goes.
    QAbstractItemModel* list = ListBox1->model();
    const auto listChanged = [this] { m_run->showListLength(sourceList().size()); };
    connect(list, &QAbstractItemModel::rowsInserted, this, listChanged);
    connect(list, &QAbstractItemModel::rowsRemoved, this, listChanged);
    connect(list, &QAbstractItemModel::modelReset, this, listChanged);

    resize(width, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(this->width() / 2, this->height() / 2));
    }
}

SourceList& SortWindow::sourceList() { return m_list->sources(); }

void SortWindow::syncList() { m_list->sync(); }

// ---------------------------------------------------------------------------
// Closing and settings

void SortWindow::closeEvent(QCloseEvent* event) {
    if (m_run->running()) {
        // The window closes once the run has stopped safely, through the
        // run's own end.
        event->ignore();
        if (m_closeAfterRun) return;
        if (!MessageBoxes::question(this, tr("分拣正在进行，是否停止并退出？"))) return;
        m_closeAfterRun = true;
        m_run->requestStop();
        return;
    }
    FormClose();
    event->accept();
    emit closed();
}

void SortWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) m_plans->reload();
}

void SortWindow::FormClose() {
    const std::string error = writeSettings();
    if (!error.empty()) MessageBoxes::error(this, FromEngine(error));
}

template <typename Settings>
void SortWindow::applySharedSettings(const Settings& s) {
    EdtFilter->setText(FromNative(s.filter));
    m_result->selectSameFilePolicy(s.sameFilePolicy);
    if (!s.outDir.empty()) {
        m_result->showOutputDir(s.outDir);
    } else if (!m_defaultOutDir.empty() && DirExists(m_defaultOutDir)) {
        // The stored folder is gone (or was left empty): the folder of the
        // first start takes its place, rather than an empty field that
        // would be saved and shown empty at every later start.
        m_result->showOutputDir(WithTrailingSeparator(m_defaultOutDir));
    }
    // Every page the window has counts, a hidden one too.
    if (s.page && *s.page >= 0 && *s.page < PageControl1->count()) {
        PageControl1->setCurrentIndex(*s.page);
    }
    EdtKeys->setText(FromNative(s.edtKeys));
    if (s.dtDate) {
        const QDate date(s.dtDate->year, s.dtDate->month, s.dtDate->day);
        if (date.isValid()) DtDate->setDate(date);
    }
    if (s.dtTime) {
        const QTime time(s.dtTime->hour, s.dtTime->minute, s.dtTime->second);
        if (time.isValid()) DtTime->setTime(time);
    }
    P::setIndex(CmbFileDate, s.cmbFileDate);
}

template <typename Settings>
void SortWindow::readSharedSettings(Settings& s) const {
    s.filter = ToNative(EdtFilter->text());
    s.sameFilePolicy = sameFilePolicy();
    s.outDir = outputDir();
    s.page = PageControl1->currentIndex();
    s.edtKeys = TrimBlanks(ToNative(EdtKeys->text()));
    s.dtDate = shownDate();
    s.dtTime = shownTime();
    s.cmbFileDate = CmbFileDate->currentIndex();
}

template void SortWindow::applySharedSettings(const FileWindowSettings&);
template void SortWindow::applySharedSettings(const FolderWindowSettings&);
template void SortWindow::readSharedSettings(FileWindowSettings&) const;
template void SortWindow::readSharedSettings(FolderWindowSettings&) const;

// ---------------------------------------------------------------------------
// Options

std::string SortWindow::outputDir() const { return m_result->outputDir(); }

SameFilePolicy SortWindow::sameFilePolicy() const { return m_result->sameFilePolicy(); }

CivilDate SortWindow::shownDate() const {
    const QDate date = DtDate->date();
    return CivilDate{date.year(), date.month(), date.day()};
}

TimeOfDay SortWindow::shownTime() const {
    const QTime time = DtTime->time();
    return TimeOfDay{time.hour(), time.minute(), time.second()};
}

SortOptions SortWindow::readSharedOptions() const {
    SortOptions o;
    // -1 (no page) is no page of the engine's either.
    o.page = static_cast<SortPage>(PageControl1->currentIndex());
    o.outputDir = outputDir();
    o.sameFilePolicy = sameFilePolicy();
    o.keywordText = ToNative(EdtKeys->text());
    o.useNamePart = ChkFileNamePart->isChecked();
    o.partBeginText = ToNative(EdtPartNameBegin->text());
    o.partEndText = ToNative(EdtPartNameEnd->text());
    o.nameFilter = ToNative(EdtFilter->text());
    o.onlyMatchDir = ChkOnlyMatchDir->isChecked();
    return o;
}

void SortWindow::applySharedOptions(const SortOptions& o) {
    const int page = static_cast<int>(o.page);
    if (page >= 0 && page < PageControl1->count()) PageControl1->setCurrentIndex(page);
    if (!o.outputDir.empty()) m_result->showOutputDir(o.outputDir);
    m_result->selectSameFilePolicy(o.sameFilePolicy);
    EdtKeys->setText(FromNative(o.keywordText));
    // Checked first: checking the box may fill in a start, unchecking clears both.
    ChkFileNamePart->setChecked(o.useNamePart);
    EdtPartNameBegin->setText(FromNative(o.partBeginText));
    EdtPartNameEnd->setText(FromNative(o.partEndText));
    EdtFilter->setText(FromNative(o.nameFilter));
    ChkOnlyMatchDir->setChecked(o.onlyMatchDir);
}

// ---------------------------------------------------------------------------
// SortHost

void SortWindow::showInfo(const std::string& text) { m_run->showInfo(text); }

void SortWindow::showWarning(const std::string& text) { m_run->showWarning(text); }

void SortWindow::rejectOption(const std::string& text, OptionId option) {
    showInfo(text);
    if (option == OptionId::OutputDir) {
        Button3Click();
    } else if (QWidget* control = optionControl(option)) {
        control->setFocus();
    }
}

QWidget* SortWindow::optionControl(OptionId option) const {
    switch (option) {
        case OptionId::Keywords:
            return EdtKeys;
        case OptionId::PartBegin:
            return EdtPartNameBegin;
        case OptionId::PartEnd:
            return EdtPartNameEnd;
        case OptionId::OutputDir:  // opens the chooser instead
        case OptionId::Size:
        case OptionId::PicValue:
            break;  // not options of every window
    }
    return nullptr;
}

void SortWindow::setOutputDir(const std::string& text) { m_result->showOutputDir(text); }

void SortWindow::setBusy(bool busy) { m_run->setBusy(busy); }

void SortWindow::setProgress(int percent) { m_run->setProgress(percent); }

bool SortWindow::askOverwrite(const std::string& targetPath) {
    return m_run->askOverwrite(targetPath);
}

// ---------------------------------------------------------------------------
// Handlers

void SortWindow::switchWindow() {
    if (!m_awayButton->isChecked()) return;
    if (!m_otherWindow) {  // a window on its own has nowhere to switch to
        m_ownButton->setChecked(true);
        return;
    }
    // Shown before this one hides, so there is never no window on screen.
    m_otherWindow->show();
    hide();
    m_otherWindow->m_ownButton->setChecked(true);
}

void SortWindow::Button2Click() { m_list->removeSelected(); }

void SortWindow::Button6Click() { m_list->clear(); }

void SortWindow::BtnSaveFileListClick() { m_list->exportList(); }

void SortWindow::BtnImpFileListClick() { m_list->importList(); }

void SortWindow::Button3Click() { m_result->chooseOutputDir(this); }

void SortWindow::BtnAoutClick() {
    if (m_about) ModalDialogs::exec(*m_about);
}

void SortWindow::BtnCopyClick() {
    if (m_run->running()) return;
    // The run works on its own copies of the options and of the list as it
    // stands now; the window's list stays usable.
    const SortFunction sort = sortFunction();
    m_run->start(*this, [sort, options = ReadOptions(), sources = sourceList().entries()](
                            SortHost& host) mutable { sort(std::move(options), sources, host); });
}

void SortWindow::BtnStopClick() { m_run->requestStop(); }

void SortWindow::BtnPreviewClick() {
    if (m_run->running()) return;
    const SortFunction sort = sortFunction();
    auto plan = std::make_shared<RunPlan>();
    plan->folders = m_listsFolders;
    m_plan = plan;
    m_run->start(*this, [sort, plan, options = ReadOptions(),
                         sources = sourceList().entries()](SortHost& host) mutable {
        RunPlanner planner(*plan);
        PlanningHost planning(host, planner);
        sort(std::move(options), sources, planning);
    });
}

bool SortWindow::running() const { return m_run->running(); }

void SortWindow::setJournal(SharedJournal* journal) {
    m_journal = journal;
    m_run->setJournal(journal);
}

void SortWindow::BtnUndoClick() {
    if (m_run->running()) return;
    RunJournal* journal = m_journal ? &m_journal->get() : nullptr;
    if (!journal || !journal->ok()) {
        MessageBoxes::information(this, tr("分拣记录无法打开，不能撤销。"));
        return;
    }
    const std::optional<JournalRun> run = journal->lastUndoableRun();
    if (!run) {
        MessageBoxes::information(this, tr("没有可以撤销的分拣。"));
        return;
    }
    undoRun(*run);
}

void SortWindow::BtnHistoryClick() {
    if (m_run->running()) return;
    RunJournal* journal = m_journal ? &m_journal->get() : nullptr;
    if (!journal || !journal->ok()) {
        MessageBoxes::information(this, tr("分拣记录无法打开。"));
        return;
    }
    if (!m_history) {
        m_history = std::make_unique<RunHistoryDialog>(this);
        // A table takes no name from a label or the dialog's title.
        m_history->TblRuns->setAccessibleName(tr("分拣记录"));
    }
    m_history->load(*journal);
    if (ModalDialogs::exec(*m_history) != QDialog::Accepted || m_history->chosenRun() == 0) return;
    for (const JournalRun& run : journal->runs(0)) {
        if (run.id == m_history->chosenRun()) {
            undoRun(run);
            return;
        }
    }
}

void SortWindow::undoRun(const JournalRun& run) {
    RunJournal& journal = m_journal->get();
    const UndoPlan plan = PlanUndo(journal, run.id);
    // Undo loses nothing: Enter goes ahead, as it always did.
    if (!MessageBoxes::question(this, FromEngine(UndoQuestion(run, plan)),
                                MessageBoxes::DefaultAnswer::Yes))
        return;
    m_run->startUndo(*this, journal, run.id);
}

void SortWindow::liveOptionsChanged() {
    if (m_run) m_run->liveOptionsChanged();
}

void SortWindow::runEnded() {
    if (std::shared_ptr<RunPlan> plan = std::move(m_plan)) {
        // A preview that passed its checks has a row for every listed entry;
        // one refused has none, and its message was shown.
        if (!plan->rows.empty()) {
            if (!m_preview) {
                m_preview = std::make_unique<PreviewWindow>(this);
                NameForScreenReaders(*m_preview);
            }
            m_preview->setPlan(std::shared_ptr<const RunPlan>(std::move(plan)));
            // Nothing was placed: the status line tells the plan instead.
            LblStatus->setText(tr("预览：%1").arg(m_preview->model().countsText()));
            m_preview->show();
            m_preview->raise();
        }
    }
    emit runFinished();
    if (m_closeAfterRun) {
        m_closeAfterRun = false;
        close();
    }
}

}  // namespace zanfeld
