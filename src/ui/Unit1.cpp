#include "Unit1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
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
#include <QTabBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QUrl>
#include <QVBoxLayout>
#include <exception>
#include <optional>

#include "AppTitle.h"
#include "ColumnListWidget.h"
#include "FileOps.h"
#include "FilePickers.h"
#include "IntParse.h"
#include "KeyFilter.h"
#include "ListFile.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "NativeText.h"
#include "PathNames.h"
#include "RunFileSort.h"
#include "SortIllustration.h"
#include "SourceListModel.h"
#include "StarCaption.h"
#include "TextUtil.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Walks.h"

namespace zanfeld {

namespace {

constexpr int kPageCount = 6;
constexpr int kPicturePage = 5;
// A walk lets the window repaint and show its new rows this often.
constexpr qint64 kWalkTickMs = 40;

const char* const kPictureTypes[] = {"*.JPG;*.JPEG", "*.BMP", "*.GIF", "*.PNG", "*.TIF"};

// The hourglass for as long as the object lives.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QWidget* WhitePage(const char* name) {
    auto* page = Named(new QWidget, name);
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, Qt::white);
    page->setPalette(palette);
    return page;
}

QLabel* Heading(const char* name, const QString& text) {
    auto* label = Named(new QLabel(text), name);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() + 1.5);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x1c, 0x4f, 0x9c));
    label->setPalette(palette);
    return label;
}

QComboBox* DropDown(const char* name, const QStringList& items) {
    auto* box = Named(new QComboBox, name);
    box->addItems(items);
    box->setCurrentIndex(0);
    return box;
}

void SetIndex(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

QFrame* Strip(const char* name) {
    auto* frame = Named(new QFrame, name);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

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
    RootLayout->setSpacing(4);
    buildListArea();
    buildPages();
    buildOptionArea();
    buildResultArea();
    buildModeArea();
    buildBottomStrip();

    resize(838, 648);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    FormCreate();
}

TForm1::~TForm1() {
    if (m_busy) QApplication::restoreOverrideCursor();
}

void TForm1::buildListArea() {
    GroupBox1 = Named(new QGroupBox(QStringLiteral("要分拣的文件")), "GroupBox1");
    GroupBox1->setFixedHeight(196);

    m_listModel = new SourceListModel(m_sources, this);
    ListBox1 = Named(new QListView, "ListBox1");
    ListBox1->setModel(m_listModel);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setTextElideMode(Qt::ElideMiddle);

    Button1 = Named(new QPushButton(QStringLiteral("添加文件")), "Button1");
    Button5 = Named(new QPushButton(QStringLiteral("添加目录下文件")), "Button5");
    Button2 = Named(new QPushButton(QStringLiteral("移除文件")), "Button2");
    Button6 = Named(new QPushButton(QStringLiteral("清空列表")), "Button6");
    BtnSaveFileList = Named(new QPushButton(QStringLiteral("导出列表")), "BtnSaveFileList");
    BtnImpFileList = Named(new QPushButton(QStringLiteral("导入列表")), "BtnImpFileList");

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    for (QPushButton* b : {Button1, Button5, Button2, Button6, BtnSaveFileList, BtnImpFileList}) {
        b->setMinimumWidth(110);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(GroupBox1);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);
    RootLayout->addWidget(GroupBox1);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(BtnSaveFileList, &QPushButton::clicked, this, [this] { BtnSaveFileListClick(); });
    connect(BtnImpFileList, &QPushButton::clicked, this, [this] { BtnImpFileListClick(); });
}

void TForm1::buildPages() {
    PageControl1 = Named(new QTabWidget, "PageControl1");
    PageControl1->setDocumentMode(true);
    PageControl1->tabBar()->setObjectName(QStringLiteral("PageControl1Tabs"));
    // Tabs as flat buttons.
    PageControl1->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 4px 8px; margin-right: 3px; border: 1px solid #b8b8b8;"
        " border-radius: 2px; background: #eeeeee; }"
        "QTabBar::tab:selected { background: #ffffff; border-color: #6f8fbf; }"
        "QTabBar::tab:hover { background: #f6f6f6; }"));

    // Page 0: keywords.
    TabSheet1 = WhitePage("TabSheet1");
    LblHeading1 = Heading("LblHeading1", QStringLiteral("     按文件名匹配关键字分拣  "));
    Image1 = Named(new SortIllustration(SortIllustration::Kind::Keywords), "Image1");
    Label3 =
        Named(new QLabel(QStringLiteral("请输入关键字（多个关键字以空格分隔）：               ")),
              "Label3");
    EdtKeys = Named(new QLineEdit, "EdtKeys");
    {
        auto* controls = new QVBoxLayout;
        controls->addStretch(1);
        controls->addWidget(Label3);
        controls->addWidget(EdtKeys);
        controls->addStretch(1);
        auto* body = new QHBoxLayout;
        body->addWidget(Image1);
        body->addSpacing(16);
        body->addLayout(controls, 1);
        auto* page = new QVBoxLayout(TabSheet1);
        page->addWidget(LblHeading1);
        page->addLayout(body, 1);
    }

    // Page 1: base name.
    TabSheet2 = WhitePage("TabSheet2");
    LblHeading2 = Heading("LblHeading2", QStringLiteral("     按文件名称分拣 "));
    Image2 = Named(new SortIllustration(SortIllustration::Kind::BaseName), "Image2");
    ChkFileNamePart =
        Named(new QCheckBox(QStringLiteral("只按文件名部分进行分拣，从：")), "ChkFileNamePart");
    EdtPartNameBegin = Named(new QLineEdit, "EdtPartNameBegin");
    Label4 = Named(new QLabel(QStringLiteral("字符到：")), "Label4");
    EdtPartNameEnd = Named(new QLineEdit, "EdtPartNameEnd");
    Label5 = Named(new QLabel(QStringLiteral("字符")), "Label5");
    ImgFilter = Named(
        new StarCaption(QStringLiteral("判断文件名时过滤以下字符（多个字符以 * （星号）分隔）：")),
        "ImgFilter");
    EdtFilter = Named(new QLineEdit, "EdtFilter");
    ChkOnlyMatchDir =
        Named(new QCheckBox(QStringLiteral("只分拣与输出文件夹下已存在目录的相匹配的文件项")),
              "ChkOnlyMatchDir");
    for (QLineEdit* edit : {EdtPartNameBegin, EdtPartNameEnd}) {
        edit->setFixedWidth(48);
        KeyFilter::install(edit, KeyFilter::kDigits);
    }
    {
        auto* range = new QHBoxLayout;
        range->addWidget(ChkFileNamePart);
        range->addWidget(EdtPartNameBegin);
        range->addWidget(Label4);
        range->addWidget(EdtPartNameEnd);
        range->addWidget(Label5);
        range->addStretch(1);
        auto* controls = new QVBoxLayout;
        controls->addStretch(1);
        controls->addLayout(range);
        controls->addWidget(ImgFilter);
        controls->addWidget(EdtFilter);
        controls->addWidget(ChkOnlyMatchDir);
        controls->addStretch(1);
        auto* body = new QHBoxLayout;
        body->addWidget(Image2);
        body->addSpacing(16);
        body->addLayout(controls, 1);
        auto* page = new QVBoxLayout(TabSheet2);
        page->addWidget(LblHeading2);
        page->addLayout(body, 1);
    }

    // Page 2: file type.
    TabSheet3 = WhitePage("TabSheet3");
    LblHeading3 = Heading("LblHeading3", QStringLiteral("     按文件类型分拣 "));
    Image3 = Named(new SortIllustration(SortIllustration::Kind::FileType), "Image3");
    {
        auto* body = new QHBoxLayout;
        body->addSpacing(40);
        body->addWidget(Image3);
        body->addStretch(1);
        auto* page = new QVBoxLayout(TabSheet3);
        page->addWidget(LblHeading3);
        page->addLayout(body, 1);
    }

    // Page 3: size.
    TabSheet4 = WhitePage("TabSheet4");
    LblHeading4 = Heading("LblHeading4", QStringLiteral("     按文件大小分拣"));
    Label6 = Named(new QLabel(QStringLiteral("分拣出满足条件的文件：")), "Label6");
    CmbCondition = DropDown("CmbCondition", {QStringLiteral("大于"), QStringLiteral("小于")});
    EdtSize = Named(new QLineEdit, "EdtSize");
    EdtSize->setFixedWidth(120);
    KeyFilter::install(EdtSize, KeyFilter::kDigits + QLatin1Char('.'));
    CmbUnit = DropDown("CmbUnit", {QStringLiteral("KB"), QStringLiteral("MB")});
    {
        auto* row = new QHBoxLayout;
        row->addSpacing(40);
        row->addWidget(Label6);
        row->addWidget(CmbCondition);
        row->addWidget(EdtSize);
        row->addWidget(CmbUnit);
        row->addStretch(1);
        auto* page = new QVBoxLayout(TabSheet4);
        page->addWidget(LblHeading4);
        page->addStretch(1);
        page->addLayout(row);
        page->addStretch(2);
    }

    // Page 4: date; it has no heading.
    TabSheet5 = WhitePage("TabSheet5");
    RbCreateTime = Named(new QRadioButton(QStringLiteral("文件创建时间")), "RbCreateTime");
    RbModifyTime = Named(new QRadioButton(QStringLiteral("文件修改时间")), "RbModifyTime");
    RbCreateTime->setChecked(true);
    CmbFileDate = DropDown("CmbFileDate", {QStringLiteral("早于"), QStringLiteral("晚于")});
    DtDate = Named(new QDateEdit(QDate(2013, 5, 6)), "DtDate");
    DtDate->setCalendarPopup(true);
    DtTime = Named(new QTimeEdit(QTime(0, 0, 0)), "DtTime");
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
        auto* page = new QVBoxLayout(TabSheet5);
        page->addStretch(1);
        page->addLayout(row);
        page->addStretch(2);
    }

    // Page 5: picture size.
    TabSheet6 = WhitePage("TabSheet6");
    LblHeading6 = Heading("LblHeading6", QStringLiteral("     按宽或高进行图像文件分拣"));
    RbPicW = Named(new QRadioButton(QStringLiteral("图片宽：")), "RbPicW");
    RbPicH = Named(new QRadioButton(QStringLiteral("图片高：")), "RbPicH");
    RbPicW->setChecked(true);
    CmbPic = DropDown(
        "CmbPic", {QStringLiteral("大于等于"), QStringLiteral("小于等于"), QStringLiteral("等于")});
    EdtPic = Named(new QLineEdit, "EdtPic");
    EdtPic->setFixedWidth(120);
    KeyFilter::install(EdtPic, KeyFilter::kDigits);
    Label7 = Named(new QLabel(QStringLiteral("像素")), "Label7");
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
        auto* page = new QVBoxLayout(TabSheet6);
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
    GroupBox5 = Named(new QGroupBox(QStringLiteral("分拣选项")), "GroupBox5");
    lblOption = Named(new QLabel(QStringLiteral("分拣方式：")), "lblOption");
    lblOption->setFixedWidth(240);

    PnlOption = Strip("PnlOption");
    ChkInclude = Named(new QCheckBox(QStringLiteral("只分拣这些类型文件：")), "ChkInclude");
    ChkExclude = Named(new QCheckBox(QStringLiteral("不分拣这些类型文件：")), "ChkExclude");
    auto* types = new ColumnListWidget(6);
    types->setVisibleRows(2);
    ListBox2 = Named(types, "ListBox2");
    BtnAddSuffix = Named(new QPushButton(QStringLiteral("添加")), "BtnAddSuffix");
    BtnDelSuffix = Named(new QPushButton(QStringLiteral("删除")), "BtnDelSuffix");
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

    PnlOption2 = Strip("PnlOption2");
    Label9 = Named(new QLabel(QStringLiteral("图片文件类型包括：")), "Label9");
    auto* pictures = new ColumnListWidget(3);
    pictures->setVisibleRows(2);
    ChkLstPic = Named(pictures, "ChkLstPic");
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
    GroupBox3 = Named(new QGroupBox(QStringLiteral("分拣结果")), "GroupBox3");
    Label1 = Named(new QLabel(QStringLiteral("分拣结果输出到：")), "Label1");
    EdtOutDir = Named(new QLineEdit, "EdtOutDir");
    Button3 = Named(new QPushButton(QStringLiteral("选择")), "Button3");
    Label2 = Named(new QLabel(QStringLiteral("目标文件夹下存在同名文件时：")), "Label2");
    RbOverwrite = Named(new QRadioButton(QStringLiteral("覆盖")), "RbOverwrite");
    RbAsk = Named(new QRadioButton(QStringLiteral("询问")), "RbAsk");
    RbSkip = Named(new QRadioButton(QStringLiteral("跳过")), "RbSkip");
    RbRename = Named(new QRadioButton(QStringLiteral("自动编号文件名")), "RbRename");
    RbEditFileTime =
        Named(new QRadioButton(QStringLiteral("按文件修改时间只替换旧文件")), "RbEditFileTime");
    RbOverwrite->setChecked(true);

    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(EdtOutDir, 1);
    top->addWidget(Button3);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label2);
    for (QRadioButton* rb : {RbOverwrite, RbAsk, RbSkip, RbRename, RbEditFileTime}) {
        bottom->addWidget(rb);
    }
    bottom->addStretch(1);
    auto* layout = new QVBoxLayout(GroupBox3);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addLayout(bottom);
    RootLayout->addWidget(GroupBox3);

    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

void TForm1::buildModeArea() {
    Panel2 = Strip("Panel2");
    GroupBox2 = Named(new QGroupBox(QStringLiteral("分拣方式")), "GroupBox2");
    RbMove = Named(new QRadioButton(QStringLiteral("移动式分拣(将文件从原目录移动到结果目录)")),
                   "RbMove");
    RbCopy = Named(new QRadioButton(QStringLiteral("复制式分拣(将文件复制到结果目录)")), "RbCopy");
    RbCopy->setChecked(true);
    {
        auto* layout = new QVBoxLayout(GroupBox2);
        layout->setContentsMargins(6, 2, 6, 4);
        layout->setSpacing(0);
        layout->addWidget(RbMove);
        layout->addWidget(RbCopy);
    }
    GroupBox4 = Named(new QGroupBox(QStringLiteral("分拣进度")), "GroupBox4");
    ProgressBar1 = Named(new QProgressBar, "ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    {
        auto* layout = new QVBoxLayout(GroupBox4);
        layout->setContentsMargins(6, 2, 6, 4);
        layout->addWidget(ProgressBar1);
    }
    auto* layout = new QHBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(GroupBox2);
    layout->addWidget(GroupBox4, 1);
    RootLayout->addWidget(Panel2);
}

void TForm1::buildBottomStrip() {
    Panel1 = Strip("Panel1");
    BtnCopy = Named(new QPushButton(QStringLiteral("开始处理")), "BtnCopy");
    BtnAout = Named(new QPushButton(QStringLiteral("关于")), "BtnAout");
    BtnCopy->setMinimumWidth(100);
    BtnAout->setMinimumWidth(80);
    auto* layout = new QHBoxLayout(Panel1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(BtnCopy);
    layout->addWidget(BtnAout);
    RootLayout->addWidget(Panel1);

    connect(BtnCopy, &QPushButton::clicked, this, [this] { BtnCopyClick(); });
    connect(BtnAout, &QPushButton::clicked, this, [this] { BtnAoutClick(); });
}

void TForm1::setDialogs(TForm3* addDirectory, TfrmAbout* about, TfrmSuffix* addType) {
    m_addDirectory = addDirectory;
    m_about = about;
    m_addType = addType;
}

void TForm1::syncList() { m_listModel->sync(); }

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
    switch (s.sameFilePolicy) {
        case SameFilePolicy::Overwrite:
            RbOverwrite->setChecked(true);
            break;
        case SameFilePolicy::Ask:
            RbAsk->setChecked(true);
            break;
        case SameFilePolicy::Rename:
            RbRename->setChecked(true);
            break;
        case SameFilePolicy::EditFileTime:
            RbEditFileTime->setChecked(true);
            break;
        case SameFilePolicy::Skip:
            RbSkip->setChecked(true);
            break;
    }
    if (!s.outDir.empty()) showOutputDirBytes(s.outDir);
    if (s.page && *s.page >= 0 && *s.page < kPageCount) PageControl1->setCurrentIndex(*s.page);
    (s.picHeight ? RbPicH : RbPicW)->setChecked(true);
    SetIndex(CmbPic, s.cmbPic);
    EdtPic->setText(FromNative(s.picSizeValue));
    SetIndex(CmbCondition, s.cmbCondition);
    SetIndex(CmbUnit, s.cmbUnit);
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
    SetIndex(CmbFileDate, s.cmbFileDate);
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

std::string TForm1::outputDir() const {
    const QString text = EdtOutDir->text();
    return text == m_outDirShown ? m_outDirBytes : ToNative(text);
}

void TForm1::showOutputDirBytes(const std::string& bytes) {
    m_outDirBytes = bytes;
    m_outDirShown = FromNative(bytes);
    EdtOutDir->setText(m_outDirShown);
}

void TForm1::readLiveOptions(SortOptions& o) const {
    o.transferMode = RbMove->isChecked() ? TransferMode::Move : TransferMode::Copy;
    if (RbRename->isChecked()) {
        o.sameFilePolicy = SameFilePolicy::Rename;
    } else if (RbEditFileTime->isChecked()) {
        o.sameFilePolicy = SameFilePolicy::EditFileTime;
    } else if (RbAsk->isChecked()) {
        o.sameFilePolicy = SameFilePolicy::Ask;
    } else if (RbSkip->isChecked()) {
        o.sameFilePolicy = SameFilePolicy::Skip;
    } else {
        o.sameFilePolicy = SameFilePolicy::Overwrite;
    }
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

void TForm1::showInfo(const std::string& text) {
    MessageBoxes::information(this, FromNative(text));
}

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

void TForm1::setOutputDir(const std::string& text) { showOutputDirBytes(text); }

void TForm1::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    BtnCopy->setEnabled(!busy);
    PageControl1->setEnabled(!busy);
    Button3->setEnabled(!busy);
    EdtOutDir->setReadOnly(busy);
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TForm1::setProgress(int percent) {
    if (ProgressBar1->value() != percent) {
        ProgressBar1->setValue(percent);
        ProgressBar1->repaint();
    }
    QCoreApplication::processEvents();
}

void TForm1::refreshLiveOptions(SortOptions& options) { readLiveOptions(options); }

bool TForm1::askOverwrite(const std::string& targetPath) {
    // The question belongs to the application, not to this window.
    return MessageBoxes::question(nullptr, QStringLiteral("文件") + FromNative(targetPath) +
                                               QStringLiteral("已存在，是否覆盖？"));
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

void TForm1::Button3Click() {
    const QString chosen = FilePickers::chooseFolder(this, QStringLiteral("请选择文件夹"));
    if (chosen.isEmpty()) return;
    showOutputDirBytes(WithTrailingSeparator(ToNative(chosen)));
}

void TForm1::BtnAoutClick() {
    if (m_about) ModalDialogs::exec(*m_about);
}

void TForm1::BtnCopyClick() {
    SortOptions options = ReadOptions();
    // The run walks the list as it stands now; the window's list stays usable.
    const std::vector<std::string> sources = m_sources.entries();
    try {
        RunFileSort(std::move(options), sources, *this);
    } catch (const std::exception& e) {
        // Unlock before telling the user, so the window is usable again.
        setBusy(false);
        MessageBoxes::error(this, QString::fromLocal8Bit(e.what()));
    }
    setBusy(false);
    if (ProgressBar1->value() != 0) {
        ProgressBar1->setValue(0);
        ProgressBar1->repaint();
    }
}

// ---------------------------------------------------------------------------
// The list

void TForm1::setListButtonsEnabled(bool enabled) {
    for (QPushButton* b : {Button1, Button5, Button2, Button6, BtnSaveFileList, BtnImpFileList}) {
        b->setEnabled(enabled);
    }
}

void TForm1::Button1Click() {
    const QStringList chosen = FilePickers::openFiles(this, QStringLiteral("*.* (*)"));
    for (const QString& path : chosen) m_sources.AddIfAbsent(ToNative(path));
    syncList();
}

void TForm1::Button5Click() {
    if (!m_addDirectory || m_walking) return;
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

    std::optional<BusyCursor> busy;
    busy.emplace();
    m_walking = true;
    setListButtonsEnabled(false);
    QElapsedTimer clock;
    clock.start();
    const WalkTick tick = [this, &clock] {
        if (clock.elapsed() < kWalkTickMs) return;
        syncList();
        QCoreApplication::processEvents();
        clock.restart();
    };
    QString failure;
    try {
        if (all) {
            IndexDisk(m_sources, base, tick);
        } else if (limited) {
            IndexDisk2(m_sources, base, depth, tick);
        } else {
            AddFolderFiles(m_sources, base, tick);
        }
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    syncList();
    setListButtonsEnabled(true);
    m_walking = false;
    busy.reset();
    if (!failure.isEmpty()) MessageBoxes::error(this, failure);
}

void TForm1::Button2Click() {
    const QModelIndexList selected = ListBox1->selectionModel()->selectedRows();
    if (selected.isEmpty()) return;
    m_listModel->removeEntry(selected.first().row());
}

void TForm1::Button6Click() { m_listModel->clear(); }

void TForm1::BtnSaveFileListClick() {
    if (m_sources.empty()) {
        MessageBoxes::information(this, QStringLiteral("当前文件列表为空！"));
        return;
    }
    const QString path =
        FilePickers::saveFile(this, QStringLiteral("file.lst"), QStringLiteral("列表文件(*.lst)"));
    if (path.isEmpty()) return;
    const ListFileResult result = ExportListFile(ToNative(path), m_sources.entries());
    if (!result.ok) {
        MessageBoxes::error(this, FromNative(result.error));
        return;
    }
    if (result.skipped > 0) {
        // A line break inside a name would split it into two entries on import.
        MessageBoxes::information(
            this,
            QStringLiteral("有 %1 个文件名中含有换行符，未能写入列表文件。").arg(result.skipped));
    }
}

void TForm1::BtnImpFileListClick() {
    const QString path = FilePickers::openFile(this, QStringLiteral("*.lst (*.lst)"));
    if (path.isEmpty()) return;
    const ListFileResult result = ImportListFile(ToNative(path), m_sources, ListKind::Files);
    syncList();
    if (!result.ok) MessageBoxes::error(this, FromNative(result.error));
}

size_t TForm1::ListBox1Drop(const QMimeData* data) {
    if (!data || !data->hasUrls()) return 0;
    std::vector<std::string> paths;
    for (const QUrl& url : data->urls()) {
        std::string path;
        if (DroppedPath(url, path)) paths.push_back(std::move(path));
    }
    const size_t added = HandleDroppedFiles(m_sources, paths);
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
