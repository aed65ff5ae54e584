#include "Unit1.h"

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
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimeEdit>
#include <QUrl>
#include <QVBoxLayout>
#include <optional>

#include "AppTitle.h"
#include "ColumnListWidget.h"
#include "FileOps.h"
#include "FilePickers.h"
#include "FormParts.h"
#include "IntParse.h"
#include "KeyFilter.h"
#include "KeywordPage.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "NamePage.h"
#include "NativeText.h"
#include "PathNames.h"
#include "ResultGroup.h"
#include "RunControls.h"
#include "RunFileSort.h"
#include "SortIllustration.h"
#include "SourceListGroup.h"
#include "StarCaption.h"
#include "SwitchStrip.h"
#include "TextUtil.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Walks.h"

namespace zanfeld {

namespace {

constexpr int kPageCount = 6;
constexpr int kPicturePage = 5;

const char* const kPictureTypes[] = {"*.JPG;*.JPEG", "*.BMP", "*.GIF", "*.PNG", "*.TIF"};

using P = FormParts;

// The native bytes of a dropped local file. QUrl::toLocalFile loses bytes
// that are not UTF-8, so the path is taken percent-encoded and decoded to bytes.
bool DroppedPath(const QUrl& url, std::string& path) {
    if (!url.isLocalFile()) return false;
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) {
        return false;
    }
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (bytes.isEmpty()) return false;
    path.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

}  // namespace

TForm1::TForm1(std::string settingsPath, std::string programDir, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_settingsPath(std::move(settingsPath)),
      m_programDir(std::move(programDir)) {
    setObjectName(QStringLiteral("Form1"));

    RootLayout = new QVBoxLayout(this);
    RootLayout->setContentsMargins(4, 4, 4, 4);
    RootLayout->setSpacing(3);
    buildSwitchStrip();
    buildListArea();
    buildPages();
    buildOptionArea();
    buildResultArea();
    buildModeArea();
    buildBottomStrip();

    m_run = std::make_unique<RunControls>(
        RunControls::Parts{this, BtnCopy, PageControl1, Button3, EdtOutDir, ProgressBar1});

    resize(838, 648);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::buildSwitchStrip() {
    const SwitchStrip strip(SwitchStrip::Window::Files);
    Panel9 = strip.Panel9;
    RbForm1 = strip.RbForm1;
    RbForm6 = strip.RbForm6;
    RootLayout->addWidget(Panel9);
    connect(RbForm6, &QRadioButton::clicked, this, [this] { RbForm6Click(); });
}

void TForm1::buildListArea() {
    m_list = std::make_unique<SourceListGroup>(
        this, SourceListGroup::Texts{QStringLiteral("要分拣的文件"), QStringLiteral("添加文件"),
                                     QStringLiteral("添加目录下文件"), QStringLiteral("移除文件"),
                                     QStringLiteral("file.lst"), ListKind::Files});
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

void TForm1::buildPages() {
    PageControl1 = P::pageControl();

    // Page 0: keywords.
    const KeywordPage keys(SortIllustration::Kind::Keywords);
    TabSheet1 = keys.TabSheet1;
    LblHeading1 = keys.LblHeading1;
    Image1 = keys.Image1;
    Label3 = keys.Label3;
    EdtKeys = keys.EdtKeys;

    // Page 1: base name.
    const NamePage name(SortIllustration::Kind::BaseName,
                        {QStringLiteral("只按文件名部分进行分拣，从："),
                         QStringLiteral("判断文件名时过滤以下字符（多个字符以 * （星号）分隔）："),
                         QStringLiteral("只分拣与输出文件夹下已存在目录的相匹配的文件项")});
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

    // Page 2: file type.
    TabSheet3 = P::whitePage("TabSheet3");
    LblHeading3 = P::heading("LblHeading3", QStringLiteral("     按文件类型分拣 "));
    Image3 = P::named(new SortIllustration(SortIllustration::Kind::FileType), "Image3");
    {
        auto* body = new QHBoxLayout;
        body->addSpacing(40);
        body->addWidget(Image3);
        body->addStretch(1);
        auto* page = P::pageLayout(TabSheet3);
        page->addWidget(LblHeading3);
        page->addLayout(body, 1);
    }

    // Page 3: size.
    TabSheet4 = P::whitePage("TabSheet4");
    LblHeading4 = P::heading("LblHeading4", QStringLiteral("     按文件大小分拣"));
    Label6 = P::named(new QLabel(QStringLiteral("分拣出满足条件的文件：")), "Label6");
    CmbCondition = P::dropDown("CmbCondition", {QStringLiteral("大于"), QStringLiteral("小于")});
    EdtSize = P::named(new QLineEdit, "EdtSize");
    EdtSize->setFixedWidth(120);
    KeyFilter::install(EdtSize, KeyFilter::kDigits + QLatin1Char('.'));
    CmbUnit = P::dropDown("CmbUnit", {QStringLiteral("KB"), QStringLiteral("MB")});
    {
        auto* row = new QHBoxLayout;
        row->addSpacing(40);
        row->addWidget(Label6);
        row->addWidget(CmbCondition);
        row->addWidget(EdtSize);
        row->addWidget(CmbUnit);
        row->addStretch(1);
        auto* page = P::pageLayout(TabSheet4);
        page->addWidget(LblHeading4);
        page->addStretch(1);
        page->addLayout(row);
        page->addStretch(2);
    }

    // Page 4: date; it has no heading.
    TabSheet5 = P::whitePage("TabSheet5");
    RbCreateTime = P::named(new QRadioButton(QStringLiteral("文件创建时间")), "RbCreateTime");
    RbModifyTime = P::named(new QRadioButton(QStringLiteral("文件修改时间")), "RbModifyTime");
    RbCreateTime->setChecked(true);
    CmbFileDate = P::dropDown("CmbFileDate", {QStringLiteral("早于"), QStringLiteral("晚于")});
    DtDate = P::named(new QDateEdit(QDate(2013, 5, 6)), "DtDate");
    DtDate->setCalendarPopup(true);
    DtTime = P::named(new QTimeEdit(QTime(0, 0, 0)), "DtTime");
    DtTime->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    {
        auto* kinds = new QVBoxLayout;
        kinds->addWidget(RbCreateTime);
        kinds->addWidget(RbModifyTime);
        auto* row = new QHBoxLayout;
        row->addSpacing(40);
        row->addLayout(kinds);
        row->addSpacing(12);
        row->addWidget(CmbFileDate);
        row->addWidget(DtDate);
        row->addWidget(DtTime);
        row->addStretch(1);
        auto* page = P::pageLayout(TabSheet5);
        page->addStretch(1);
        page->addLayout(row);
        page->addStretch(2);
    }

    // Page 5: picture size.
    TabSheet6 = P::whitePage("TabSheet6");
    LblHeading6 = P::heading("LblHeading6", QStringLiteral("     按宽或高进行图像文件分拣"));
    RbPicW = P::named(new QRadioButton(QStringLiteral("图片宽：")), "RbPicW");
    RbPicH = P::named(new QRadioButton(QStringLiteral("图片高：")), "RbPicH");
    RbPicW->setChecked(true);
    CmbPic = P::dropDown(
        "CmbPic", {QStringLiteral("大于等于"), QStringLiteral("小于等于"), QStringLiteral("等于")});
    EdtPic = P::named(new QLineEdit, "EdtPic");
    EdtPic->setFixedWidth(120);
    KeyFilter::install(EdtPic, KeyFilter::kDigits);
    Label7 = P::named(new QLabel(QStringLiteral("像素")), "Label7");
    {
        auto* sides = new QVBoxLayout;
        sides->addWidget(RbPicW);
        sides->addWidget(RbPicH);
        auto* row = new QHBoxLayout;
        row->addSpacing(40);
        row->addLayout(sides);
        row->addSpacing(12);
        row->addWidget(CmbPic);
        row->addWidget(EdtPic);
        row->addWidget(Label7);
        row->addStretch(1);
        auto* page = P::pageLayout(TabSheet6);
        page->addWidget(LblHeading6);
        page->addStretch(1);
        page->addLayout(row);
        page->addStretch(2);
    }

    PageControl1->addTab(TabSheet1, QStringLiteral(" 按文件名匹配关键字分拣 "));
    PageControl1->addTab(TabSheet2, QStringLiteral(" 按文件名分拣"));
    PageControl1->addTab(TabSheet3, QStringLiteral(" 按文件类型分拣"));
    PageControl1->addTab(TabSheet4, QStringLiteral(" 按文件大小分拣"));
    PageControl1->addTab(TabSheet5, QStringLiteral(" 按文件日期属性分拣"));
    PageControl1->addTab(TabSheet6, QStringLiteral(" 图像文件分拣"));
    PageControl1->setCurrentIndex(1);  // the page the layout marks active
    RootLayout->addWidget(PageControl1, 1);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
    connect(ChkFileNamePart, &QCheckBox::toggled, this, [this] { ChkFileNamePartClick(); });
}

void TForm1::buildOptionArea() {
    GroupBox5 = P::named(new QGroupBox(QStringLiteral("分拣选项")), "GroupBox5");
    lblOption = P::named(new QLabel(QStringLiteral("分拣方式：")), "lblOption");
    lblOption->setFixedWidth(240);

    PnlOption = P::strip("PnlOption");
    ChkInclude = P::named(new QCheckBox(QStringLiteral("只分拣这些类型文件：")), "ChkInclude");
    ChkExclude = P::named(new QCheckBox(QStringLiteral("不分拣这些类型文件：")), "ChkExclude");
    auto* types = new ColumnListWidget(6);
    types->setVisibleRows(2);
    ListBox2 = P::named(types, "ListBox2");
    BtnAddSuffix = P::named(new QPushButton(QStringLiteral("添加")), "BtnAddSuffix");
    BtnDelSuffix = P::named(new QPushButton(QStringLiteral("删除")), "BtnDelSuffix");
    BtnAddSuffix->setEnabled(false);
    BtnDelSuffix->setEnabled(false);
    {
        auto* checks = new QVBoxLayout;
        checks->setSpacing(0);
        checks->addWidget(ChkInclude);
        checks->addWidget(ChkExclude);
        auto* buttons = new QVBoxLayout;
        buttons->setSpacing(0);
        buttons->addWidget(BtnAddSuffix);
        buttons->addWidget(BtnDelSuffix);
        auto* layout = new QHBoxLayout(PnlOption);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addLayout(checks);
        layout->addWidget(ListBox2, 1);
        layout->addLayout(buttons);
    }

    PnlOption2 = P::strip("PnlOption2");
    Label9 = P::named(new QLabel(QStringLiteral("图片文件类型包括：")), "Label9");
    auto* pictures = new ColumnListWidget(3);
    pictures->setVisibleRows(2);
    ChkLstPic = P::named(pictures, "ChkLstPic");
    for (const char* type : kPictureTypes) {
        auto* item = new QListWidgetItem(QString::fromLatin1(type), ChkLstPic);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    {
        auto* layout = new QHBoxLayout(PnlOption2);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(Label9);
        layout->addWidget(ChkLstPic, 1);
    }

    auto* layout = new QHBoxLayout(GroupBox5);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->addWidget(lblOption);
    layout->addWidget(PnlOption, 1);
    layout->addWidget(PnlOption2, 1);
    RootLayout->addWidget(GroupBox5);

    connect(ChkInclude, &QCheckBox::toggled, this, [this] { ChkIncludeClick(); });
    connect(ChkExclude, &QCheckBox::toggled, this, [this] { ChkExcludeClick(); });
    connect(BtnAddSuffix, &QPushButton::clicked, this, [this] { BtnAddSuffixClick(); });
    connect(BtnDelSuffix, &QPushButton::clicked, this, [this] { BtnDelSuffixClick(); });
}

void TForm1::buildResultArea() {
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

void TForm1::buildModeArea() {
    Panel2 = P::strip("Panel2");
    GroupBox2 = P::named(new QGroupBox(QStringLiteral("分拣方式")), "GroupBox2");
    RbMove = P::named(new QRadioButton(QStringLiteral("移动式分拣(将文件从原目录移动到结果目录)")),
                      "RbMove");
    RbCopy =
        P::named(new QRadioButton(QStringLiteral("复制式分拣(将文件复制到结果目录)")), "RbCopy");
    RbCopy->setChecked(true);
    {
        auto* layout = new QVBoxLayout(GroupBox2);
        layout->setContentsMargins(6, 2, 6, 4);
        layout->setSpacing(0);
        layout->addWidget(RbMove);
        layout->addWidget(RbCopy);
    }
    GroupBox4 = P::progressGroup(ProgressBar1);
    auto* layout = new QHBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox2);
    layout->addWidget(GroupBox4, 1);
    RootLayout->addWidget(Panel2);
}

void TForm1::buildBottomStrip() {
    Panel1 = P::startStrip(BtnCopy, BtnAout);
    RootLayout->addWidget(Panel1);

    connect(BtnCopy, &QPushButton::clicked, this, [this] { BtnCopyClick(); });
    connect(BtnAout, &QPushButton::clicked, this, [this] { BtnAoutClick(); });
}

void TForm1::setDialogs(TForm3* addDirectory, TfrmAbout* about, TfrmSuffix* addType) {
    m_addDirectory = addDirectory;
    m_about = about;
    m_addType = addType;
}

SourceList& TForm1::sourceList() { return m_list->sources(); }

void TForm1::syncList() { m_list->sync(); }

// ---------------------------------------------------------------------------
// Creation and closing

void TForm1::FormCreate() {
    setWindowTitle(AppTitle());
    ListBox1->setAcceptDrops(true);
    ListBox1->viewport()->setAcceptDrops(true);
    ListBox1->viewport()->installEventFilter(this);
    for (int row = 0; row < ChkLstPic->count(); ++row) {
        ChkLstPic->item(row)->setCheckState(Qt::Checked);
    }
    ApplySettings(LoadFileWindowSettings(m_settingsPath, m_programDir));
    PageControl1Change();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    emit closed();
}

void TForm1::FormClose() {
    const std::string error = SaveFileWindowSettings(m_settingsPath, ReadSettings());
    if (!error.empty()) MessageBoxes::error(this, FromNative(error));
}

void TForm1::ApplySettings(const FileWindowSettings& s) {
    EdtFilter->setText(FromNative(s.filter));
    m_result->selectSameFilePolicy(s.sameFilePolicy);
    if (!s.outDir.empty()) m_result->showOutputDir(s.outDir);
    if (s.page && *s.page >= 0 && *s.page < kPageCount) PageControl1->setCurrentIndex(*s.page);
    (s.picHeight ? RbPicH : RbPicW)->setChecked(true);
    P::setIndex(CmbPic, s.cmbPic);
    EdtPic->setText(FromNative(s.picSizeValue));
    P::setIndex(CmbCondition, s.cmbCondition);
    P::setIndex(CmbUnit, s.cmbUnit);
    EdtSize->setText(FromNative(s.fileSize));
    EdtKeys->setText(FromNative(s.edtKeys));
    ListBox2->clear();
    for (const std::string& pattern : s.suffixFilter) ListBox2->addItem(FromNative(pattern));
    if (s.dtDate) {
        const QDate date(s.dtDate->year, s.dtDate->month, s.dtDate->day);
        if (date.isValid()) DtDate->setDate(date);
    }
    if (s.dtTime) {
        const QTime time(s.dtTime->hour, s.dtTime->minute, s.dtTime->second);
        if (time.isValid()) DtTime->setTime(time);
    }
    (s.fileAttrModified ? RbModifyTime : RbCreateTime)->setChecked(true);
    P::setIndex(CmbFileDate, s.cmbFileDate);
}

FileWindowSettings TForm1::ReadSettings() const {
    FileWindowSettings s;
    s.filter = ToNative(EdtFilter->text());
    SortOptions live;
    readLiveOptions(live);
    s.sameFilePolicy = live.sameFilePolicy;
    s.outDir = outputDir();
    s.page = PageControl1->currentIndex();
    s.picHeight = RbPicH->isChecked();
    s.cmbPic = CmbPic->currentIndex();
    s.picSizeValue = ToNative(EdtPic->text());
    s.cmbCondition = CmbCondition->currentIndex();
    s.cmbUnit = CmbUnit->currentIndex();
    s.fileSize = ToNative(EdtSize->text());
    s.edtKeys = TrimBlanks(ToNative(EdtKeys->text()));
    for (int row = 0; row < ListBox2->count(); ++row) {
        std::string pattern = ToNative(ListBox2->item(row)->text());
        if (!pattern.empty()) s.suffixFilter.push_back(std::move(pattern));
    }
    const QDate date = DtDate->date();
    s.dtDate = CivilDate{date.year(), date.month(), date.day()};
    const QTime time = DtTime->time();
    s.dtTime = TimeOfDay{time.hour(), time.minute(), time.second()};
    s.fileAttrModified = RbModifyTime->isChecked();
    s.cmbFileDate = CmbFileDate->currentIndex();
    return s;
}

// ---------------------------------------------------------------------------
// Options

std::string TForm1::outputDir() const { return m_result->outputDir(); }

void TForm1::readLiveOptions(SortOptions& o) const {
    o.transferMode = RbMove->isChecked() ? TransferMode::Move : TransferMode::Copy;
    o.sameFilePolicy = m_result->sameFilePolicy();
    if (ChkExclude->isChecked()) {
        o.typeFilter = TypeFilterMode::Exclude;
    } else if (ChkInclude->isChecked()) {
        o.typeFilter = TypeFilterMode::Include;
    } else {
        o.typeFilter = TypeFilterMode::None;
    }
    o.typePatterns.clear();
    for (int row = 0; row < ListBox2->count(); ++row) {
        o.typePatterns.push_back(ToNative(ListBox2->item(row)->text()));
    }
    o.picturePatterns.clear();
    for (int row = 0; row < ChkLstPic->count(); ++row) {
        const QListWidgetItem* item = ChkLstPic->item(row);
        if (item->checkState() == Qt::Checked) o.picturePatterns.push_back(ToNative(item->text()));
    }
}

SortOptions TForm1::ReadOptions() const {
    SortOptions o;
    o.page = static_cast<SortPage>(PageControl1->currentIndex());
    o.outputDir = outputDir();
    readLiveOptions(o);

    o.keywordText = ToNative(EdtKeys->text());
    o.useNamePart = ChkFileNamePart->isChecked();
    o.partBeginText = ToNative(EdtPartNameBegin->text());
    o.partEndText = ToNative(EdtPartNameEnd->text());
    o.nameFilter = ToNative(EdtFilter->text());
    o.onlyMatchDir = ChkOnlyMatchDir->isChecked();

    o.sizeText = ToNative(EdtSize->text());
    const int condition = CmbCondition->currentIndex();
    if (condition < 0) {
        o.sizeCondition.reset();
    } else {
        o.sizeCondition = condition == 0 ? SizeCondition::Greater : SizeCondition::Less;
    }
    const int unit = CmbUnit->currentIndex();
    if (unit < 0) {
        o.sizeUnit.reset();
    } else {
        o.sizeUnit = unit == 1 ? SizeUnit::MB : SizeUnit::KB;
    }

    o.dateSource = RbModifyTime->isChecked() ? DateSource::Modified : DateSource::Created;
    o.dateCondition =
        CmbFileDate->currentIndex() == 0 ? DateCondition::Earlier : DateCondition::Later;
    const QDate date = DtDate->date();
    o.thresholdDate = CivilDate{date.year(), date.month(), date.day()};
    const QTime time = DtTime->time();
    o.thresholdTime = TimeOfDay{time.hour(), time.minute(), time.second()};

    o.picDimension = RbPicH->isChecked() ? PicDimension::Height : PicDimension::Width;
    switch (CmbPic->currentIndex()) {
        case 0:
            o.picCondition = PicCondition::AtLeast;
            break;
        case 1:
            o.picCondition = PicCondition::AtMost;
            break;
        case 2:
            o.picCondition = PicCondition::Exactly;
            break;
        default:
            o.picCondition.reset();
            break;
    }
    o.picText = ToNative(EdtPic->text());
    return o;
}

// ---------------------------------------------------------------------------
// SortHost

void TForm1::showInfo(const std::string& text) { m_run->showInfo(text); }

void TForm1::rejectOption(const std::string& text, OptionId option) {
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
            EdtSize->setFocus();
            break;
        case OptionId::PicValue:
            EdtPic->setFocus();
            break;
    }
}

void TForm1::setOutputDir(const std::string& text) { m_result->showOutputDir(text); }

void TForm1::setBusy(bool busy) { m_run->setBusy(busy); }

void TForm1::setProgress(int percent) { m_run->setProgress(percent); }

void TForm1::refreshLiveOptions(SortOptions& options) { readLiveOptions(options); }

bool TForm1::askOverwrite(const std::string& targetPath) { return m_run->askOverwrite(targetPath); }

// ---------------------------------------------------------------------------
// Switching windows

void TForm1::RbForm6Click() {
    if (!RbForm6->isChecked()) return;
    if (!m_folderWindow) {  // a window on its own has nowhere to switch to
        RbForm1->setChecked(true);
        return;
    }
    // Shown before this one hides, so there is never no window on screen.
    m_folderWindow->show();
    hide();
    m_folderWindow->RbForm6->setChecked(true);
}

// ---------------------------------------------------------------------------
// Pages and options

void TForm1::PageControl1Change() {
    const int page = PageControl1->currentIndex();
    lblOption->setText(QStringLiteral("分拣方式：") + PageControl1->tabText(page));
    // Exactly one of the two boxes is on show; neither is cleared.
    PnlOption->setVisible(page != kPicturePage);
    PnlOption2->setVisible(page == kPicturePage);
}

void TForm1::ChkIncludeClick() {
    if (ChkInclude->isChecked()) ChkExclude->setChecked(false);
    const bool either = ChkInclude->isChecked() || ChkExclude->isChecked();
    BtnAddSuffix->setEnabled(either);
    BtnDelSuffix->setEnabled(either);
}

void TForm1::ChkExcludeClick() {
    if (ChkExclude->isChecked()) ChkInclude->setChecked(false);
    const bool either = ChkInclude->isChecked() || ChkExclude->isChecked();
    BtnAddSuffix->setEnabled(either);
    BtnDelSuffix->setEnabled(either);
}

void TForm1::ChkFileNamePartClick() {
    if (!ChkFileNamePart->isChecked()) {
        EdtPartNameBegin->clear();
        EdtPartNameEnd->clear();
        return;
    }
    if (!EdtPartNameBegin->text().isEmpty()) {
        if (EdtPartNameEnd->text().isEmpty()) EdtPartNameEnd->setFocus();
    } else if (!EdtPartNameEnd->text().isEmpty()) {
        EdtPartNameBegin->setFocus();
    } else {
        EdtPartNameBegin->setText(QStringLiteral("1"));
        EdtPartNameEnd->setFocus();
    }
}

void TForm1::BtnAddSuffixClick() {
    if (m_addType) ModalDialogs::exec(*m_addType);
}

void TForm1::BtnDelSuffixClick() {
    const int row = ListBox2->currentRow();
    if (row < 0 || !ListBox2->item(row)->isSelected()) return;
    delete ListBox2->takeItem(row);
}

void TForm1::Button3Click() { m_result->chooseOutputDir(this); }

void TForm1::BtnAoutClick() {
    if (m_about) ModalDialogs::exec(*m_about);
}

void TForm1::BtnCopyClick() {
    SortOptions options = ReadOptions();
    // The run walks the list as it stands now; the window's list stays usable.
    const std::vector<std::string> sources = sourceList().entries();
    m_run->run([&] { RunFileSort(std::move(options), sources, *this); });
}

// ---------------------------------------------------------------------------
// The list

void TForm1::Button1Click() {
    const QStringList chosen = FilePickers::openFiles(this, QStringLiteral("*.* (*)"));
    for (const QString& path : chosen) sourceList().AddIfAbsent(ToNative(path));
    syncList();
}

void TForm1::Button5Click() {
    if (!m_addDirectory || m_list->walking()) return;
    if (ModalDialogs::exec(*m_addDirectory) != QDialog::Accepted) return;
    const std::string chosen = m_addDirectory->selectedPath();
    if (chosen.empty() || !DirExists(chosen)) return;

    const std::string base = WithTrailingSeparator(chosen);
    int depth = 0;
    const bool all = m_addDirectory->allSubFolders();
    const bool limited = !all && m_addDirectory->downToDepth();
    if (limited) {
        const QString text = m_addDirectory->depthText();
        const std::optional<int32_t> parsed = ParseInt32(ToNative(text));
        if (!parsed) {
            MessageBoxes::error(this,
                                QStringLiteral("'%1' is not a valid integer value").arg(text));
            return;
        }
        depth = *parsed;
    }

    m_list->walk([&](SourceList& list, const WalkTick& tick) {
        if (all) {
            IndexDisk(list, base, tick);
        } else if (limited) {
            IndexDisk2(list, base, depth, tick);
        } else {
            AddFolderFiles(list, base, tick);
        }
    });
}

void TForm1::Button2Click() { m_list->removeSelected(); }

void TForm1::Button6Click() { m_list->clear(); }

void TForm1::BtnSaveFileListClick() { m_list->exportList(); }

void TForm1::BtnImpFileListClick() { m_list->importList(); }

size_t TForm1::ListBox1Drop(const QMimeData* data) {
    if (!data || !data->hasUrls()) return 0;
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls()) {
        std::string path;
        if (DroppedPath(url, path)) paths.push_back(std::move(path));
    }
    const size_t added = HandleDroppedFiles(sourceList(), paths);
    syncList();
    return added;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBox1->viewport()) {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (drag->mimeData()->hasUrls()) {
                    drag->acceptProposedAction();
                } else {
                    drag->ignore();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                ListBox1Drop(drop->mimeData());
                drop->acceptProposedAction();
                return true;
            }
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zanfeld
