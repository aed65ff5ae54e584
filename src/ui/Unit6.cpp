#include "Unit6.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <string_view>

#include "AppTitle.h"
#include "FileOps.h"
#include "FilePickers.h"
#include "FolderSort.h"
#include "FormParts.h"
#include "KeywordPage.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "NamePage.h"
#include "NativeText.h"
#include "PathNames.h"
#include "ResultGroup.h"
#include "RunControls.h"
#include "SortIllustration.h"
#include "SourceListGroup.h"
#include "StarCaption.h"
#include "SwitchStrip.h"
#include "TextUtil.h"
#include "Unit1.h"
#include "Unit4.h"
#include "Walks.h"

namespace zanfeld {

namespace {

constexpr int kPageCount = 3;
constexpr int kDatePage = 2;  // kept for the settings only; its tab is hidden

using P = FormParts;

// A whole disk cannot be sorted as one folder. The root is this system's
// stand-in for a drive such as "C:\".
bool IsDriveRoot(std::string_view path) {
    return !path.empty() && path.find_first_not_of(kPathSeparator) == std::string_view::npos;
}

}  // namespace

TForm6::TForm6(std::string settingsPath, std::string programDir, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      m_settingsPath(std::move(settingsPath)),
      m_programDir(std::move(programDir)) {
    setObjectName(QStringLiteral("Form6"));

    RootLayout = new QVBoxLayout(this);
    RootLayout->setContentsMargins(4, 4, 4, 4);
    RootLayout->setSpacing(3);
    buildSwitchStrip();
    buildListArea();
    buildPages();
    buildResultArea();
    buildModeArea();
    buildBottomStrip();

    m_run = std::make_unique<RunControls>(
        RunControls::Parts{this, BtnCopy, PageControl1, Button3, EdtOutDir, ProgressBar1});

    resize(838, 650);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    FormCreate();
}

TForm6::~TForm6() = default;

void TForm6::buildSwitchStrip() {
    const SwitchStrip strip(SwitchStrip::Window::Folders);
    Panel9 = strip.Panel9;
    RbForm1 = strip.RbForm1;
    RbForm6 = strip.RbForm6;
    RootLayout->addWidget(Panel9);
    connect(RbForm1, &QRadioButton::clicked, this, [this] { RbForm1Click(); });
}

void TForm6::buildListArea() {
    // The list takes no dropped items here.
    m_list = std::make_unique<SourceListGroup>(
        this, SourceListGroup::Texts{
                  QStringLiteral("要分拣的文件夹（目录）"), QStringLiteral("添加文件夹"),
                  QStringLiteral("添加目录下级目录"), QStringLiteral("移除文件夹"),
                  QStringLiteral("dir.lst"), ListKind::Folders});
    GroupBox1 = m_list->GroupBox1;
    ListBox1 = m_list->ListBox1;
    Button1 = m_list->Button1;
    Button5 = m_list->Button5;
    Button2 = m_list->Button2;
    Button6 = m_list->Button6;
    BtnSaveFileList = m_list->BtnSaveFileList;
    BtnImpFileList = m_list->BtnImpFileList;
    RootLayout->addWidget(GroupBox1);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(BtnSaveFileList, &QPushButton::clicked, this, [this] { BtnSaveFileListClick(); });
    connect(BtnImpFileList, &QPushButton::clicked, this, [this] { BtnImpFileListClick(); });
}

void TForm6::buildPages() {
    PageControl1 = P::pageControl();

    // Page 0: keywords in the folder name.
    const KeywordPage keys(SortIllustration::Kind::FolderKeywords);
    TabSheet1 = keys.TabSheet1;
    LblHeading1 = keys.LblHeading1;
    Image1 = keys.Image1;
    Label3 = keys.Label3;
    EdtKeys = keys.EdtKeys;

    // Page 1: the folder name.
    const NamePage name(SortIllustration::Kind::FolderName,
                        {QStringLiteral("只按目录名部分进行分拣，从："),
                         QStringLiteral("判断目录名时过滤以下字符（多个字符以*（星号）分隔）"),
                         QStringLiteral("只分拣与输出文件夹下已存在目录的相匹配的目录项")});
    TabSheet2 = name.TabSheet2;
    LblHeading2 = name.LblHeading2;
    Image2 = name.Image2;
    ChkFileNamePart = name.ChkFileNamePart;
    EdtPartNameBegin = name.EdtPartNameBegin;
    Label4 = name.Label4;
    EdtPartNameEnd = name.EdtPartNameEnd;
    Label5 = name.Label5;
    ImgFilter = name.ImgFilter;
    EdtFilter = name.EdtFilter;
    ChkOnlyMatchDir = name.ChkOnlyMatchDir;

    // Page 2: the folder's date. No run uses it; only the settings keep its values.
    TabSheet3 = P::whitePage("TabSheet3");
    Label6 = P::named(new QLabel(QStringLiteral("文件夹创建时间：")), "Label6");
    CmbFileDate = P::dropDown("CmbFileDate", {QStringLiteral("早于"), QStringLiteral("晚于")});
    DtDate = P::named(new QDateEdit(QDate(2013, 5, 6)), "DtDate");
    DtDate->setCalendarPopup(true);
    DtTime = P::named(new QTimeEdit(QTime(0, 0, 0)), "DtTime");
    DtTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    {
        auto* row = new QHBoxLayout;
        row->addSpacing(40);
        row->addWidget(Label6);
        row->addWidget(CmbFileDate);
        row->addWidget(DtDate);
        row->addWidget(DtTime);
        row->addStretch(1);
        auto* page = P::pageLayout(TabSheet3);
        page->addStretch(1);
        page->addLayout(row);
        page->addStretch(2);
    }

    PageControl1->addTab(TabSheet1, QStringLiteral(" 按目录名匹配关键字分拣 "));
    PageControl1->addTab(TabSheet2, QStringLiteral(" 按目录名分拣"));
    PageControl1->addTab(TabSheet3, QStringLiteral(" 按目录日期属性分拣"));
    PageControl1->setTabVisible(kDatePage, false);
    PageControl1->setCurrentIndex(1);  // the page the layout marks active
    RootLayout->addWidget(PageControl1, 1);
}

void TForm6::buildResultArea() {
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
    RootLayout->addWidget(GroupBox3);

    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

void TForm6::buildModeArea() {
    Panel2 = P::strip("Panel2");
    GroupBox2 = P::named(new QGroupBox(QStringLiteral("分拣方式")), "GroupBox2");
    // Folders are only ever copied: the one choice is always checked.
    RbCopy =
        P::named(new QRadioButton(QStringLiteral("复制式分拣(将文件夹复制到分拣目录)")), "RbCopy");
    RbCopy->setChecked(true);
    {
        auto* layout = new QVBoxLayout(GroupBox2);
        layout->setContentsMargins(6, 2, 6, 4);
        layout->setSpacing(0);
        layout->addWidget(RbCopy);
    }
    GroupBox4 = P::progressGroup(ProgressBar1);
    auto* layout = new QHBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox2);
    layout->addWidget(GroupBox4, 1);
    RootLayout->addWidget(Panel2);
}

void TForm6::buildBottomStrip() {
    Panel1 = P::startStrip(BtnCopy, BtnAout);
    RootLayout->addWidget(Panel1);

    connect(BtnCopy, &QPushButton::clicked, this, [this] { BtnCopyClick(); });
    connect(BtnAout, &QPushButton::clicked, this, [this] { BtnAoutClick(); });
}

SourceList& TForm6::sourceList() { return m_list->sources(); }

void TForm6::syncList() { m_list->sync(); }

// ---------------------------------------------------------------------------
// Creation and closing

void TForm6::FormCreate() {
    setWindowTitle(AppTitle());
    ApplySettings(LoadFolderWindowSettings(m_settingsPath, m_programDir));
}

void TForm6::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    emit closed();
}

void TForm6::FormClose() {
    const std::string error = SaveFolderWindowSettings(m_settingsPath, ReadSettings());
    if (!error.empty()) MessageBoxes::error(this, FromNative(error));
}

void TForm6::ApplySettings(const FolderWindowSettings& s) {
    EdtFilter->setText(FromNative(s.filter));
    m_result->selectSameFilePolicy(s.sameFilePolicy);
    if (!s.outDir.empty()) m_result->showOutputDir(s.outDir);
    if (s.page && *s.page >= 0 && *s.page < kPageCount) PageControl1->setCurrentIndex(*s.page);
    if (s.dtDate) {
        const QDate date(s.dtDate->year, s.dtDate->month, s.dtDate->day);
        if (date.isValid()) DtDate->setDate(date);
    }
    if (s.dtTime) {
        const QTime time(s.dtTime->hour, s.dtTime->minute, s.dtTime->second);
        if (time.isValid()) DtTime->setTime(time);
    }
    P::setIndex(CmbFileDate, s.cmbFileDate);
    EdtKeys->setText(FromNative(s.edtKeys));
}

FolderWindowSettings TForm6::ReadSettings() const {
    FolderWindowSettings s;
    s.filter = ToNative(EdtFilter->text());
    s.sameFilePolicy = m_result->sameFilePolicy();
    s.outDir = outputDir();
    s.page = PageControl1->currentIndex();
    s.edtKeys = TrimBlanks(ToNative(EdtKeys->text()));
    const QDate date = DtDate->date();
    s.dtDate = CivilDate{date.year(), date.month(), date.day()};
    const QTime time = DtTime->time();
    s.dtTime = TimeOfDay{time.hour(), time.minute(), time.second()};
    s.cmbFileDate = CmbFileDate->currentIndex();
    return s;
}

// ---------------------------------------------------------------------------
// Options

std::string TForm6::outputDir() const { return m_result->outputDir(); }

SortOptions TForm6::ReadOptions() const {
    SortOptions o;
    // -1 (no page) is no page of the engine's either.
    o.page = static_cast<SortPage>(PageControl1->currentIndex());
    o.outputDir = outputDir();
    o.transferMode = TransferMode::Copy;
    o.sameFilePolicy = m_result->sameFilePolicy();
    o.keywordText = ToNative(EdtKeys->text());
    o.useNamePart = ChkFileNamePart->isChecked();
    o.partBeginText = ToNative(EdtPartNameBegin->text());
    o.partEndText = ToNative(EdtPartNameEnd->text());
    o.nameFilter = ToNative(EdtFilter->text());
    o.onlyMatchDir = ChkOnlyMatchDir->isChecked();
    return o;
}

// ---------------------------------------------------------------------------
// SortHost

void TForm6::showInfo(const std::string& text) { m_run->showInfo(text); }

void TForm6::rejectOption(const std::string& text, OptionId option) {
    showInfo(text);
    switch (option) {
        case OptionId::OutputDir:
            Button3Click();
            break;
        case OptionId::Keywords:
            EdtKeys->setFocus();
            break;
        case OptionId::PartBegin:
            EdtPartNameBegin->setFocus();
            break;
        case OptionId::PartEnd:
            EdtPartNameEnd->setFocus();
            break;
        case OptionId::Size:
        case OptionId::PicValue:
            break;  // not options of a folder run
    }
}

void TForm6::setOutputDir(const std::string& text) { m_result->showOutputDir(text); }

void TForm6::setBusy(bool busy) { m_run->setBusy(busy); }

void TForm6::setProgress(int percent) { m_run->setProgress(percent); }

void TForm6::refreshLiveOptions(SortOptions& options) {
    // The same-name answer is the folder run's only option that may change.
    options.sameFilePolicy = m_result->sameFilePolicy();
}

bool TForm6::askOverwrite(const std::string& targetPath) { return m_run->askOverwrite(targetPath); }

// ---------------------------------------------------------------------------
// Handlers

void TForm6::RbForm1Click() {
    if (!RbForm1->isChecked()) return;
    if (!m_fileWindow) {  // a window on its own has nowhere to switch to
        RbForm6->setChecked(true);
        return;
    }
    // Shown before this one hides, so there is never no window on screen.
    m_fileWindow->show();
    hide();
    m_fileWindow->RbForm1->setChecked(true);
}

void TForm6::Button1Click() {
    const QString chosen = FilePickers::chooseFolder(this, QStringLiteral("请选择文件夹"));
    if (chosen.isEmpty()) return;
    const std::string path = ToNative(chosen);
    if (IsDriveRoot(path)) {
        // This refusal belongs to the application, not to the window.
        MessageBoxes::information(nullptr, QStringLiteral("不能对驱动器（磁盘）进行分拣！"));
        return;
    }
    // Whether the folder exists is left to the run.
    sourceList().AddIfAbsent(path);
    syncList();
}

void TForm6::Button5Click() {
    if (m_list->walking()) return;
    const QString chosen =
        FilePickers::chooseFolder(this, QStringLiteral("请选择上级目录（文件夹）"));
    if (chosen.isEmpty()) return;
    const std::string parent = ToNative(chosen);
    if (!DirExists(parent)) return;
    const std::string base = WithTrailingSeparator(parent);
    m_list->walk([&](SourceList& list, const WalkTick& tick) { AddSubFolders(list, base, tick); });
}

void TForm6::Button2Click() { m_list->removeSelected(); }

void TForm6::Button6Click() { m_list->clear(); }

void TForm6::BtnSaveFileListClick() { m_list->exportList(); }

void TForm6::BtnImpFileListClick() { m_list->importList(); }

void TForm6::Button3Click() { m_result->chooseOutputDir(this); }

void TForm6::BtnAoutClick() {
    if (m_about) ModalDialogs::exec(*m_about);
}

void TForm6::BtnCopyClick() {
    SortOptions options = ReadOptions();
    // The run works on the list as it stands now; the window's list stays usable.
    const std::vector<std::string> sources = sourceList().entries();
    m_run->run([&] { RunFolderSort(std::move(options), sources, *this); });
}

}  // namespace zanfeld
