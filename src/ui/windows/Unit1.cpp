#include "Unit1.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "AppTitle.h"
#include "AutoSortDialog.h"
#include "ColumnListWidget.h"
#include "FileOps.h"
#include "FilePickers.h"
#include "FormParts.h"
#include "HiddenLabel.h"
#include "IntParse.h"
#include "KeyFilter.h"
#include "MessageBoxes.h"
#include "ModalDialogs.h"
#include "NativeText.h"
#include "PathNames.h"
#include "RunFileSort.h"
#include "SharedJournal.h"
#include "SortIllustration.h"
#include "SourceListGroup.h"
#include "TakenDatePage.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Walks.h"

namespace zanfeld {

namespace {

constexpr int kPicturePage = 5;
constexpr int kTakenPage = 6;

// A taken-date type as its list shows it: "*.JPG" as "JPG".
QString TakenTypeText(const std::string& pattern) {
    const QString text = FromNative(pattern);
    return text.startsWith(QLatin1String("*.")) ? text.mid(2) : text;
}

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

TForm1::TForm1(std::string settingsPath, std::string defaultOutDir, QWidget* parent)
    : SortWindow(std::move(settingsPath), std::move(defaultOutDir),
                 Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                     Qt::WindowCloseButtonHint,
                 parent) {
    setObjectName(QStringLiteral("Form1"));

    buildSwitchStrip(SwitchStrip::Window::Files);
    buildListArea(SourceListGroup::Texts{tr("要分拣的文件"), tr("添加文件"), tr("添加目录下文件"),
                                         tr("移除文件"), QStringLiteral("file.lst"),
                                         ListKind::Files});
    buildPages();
    buildOptionArea();
    buildResultArea();
    RbMove = P::named(new QRadioButton(tr("移动式分拣(将文件从原目录移动到结果目录)")), "RbMove");
    buildModeArea(RbMove, tr("复制式分拣(将文件复制到结果目录)"));
    buildBottomStrip();
    // The watched folders sort files as this window does, by its plans.
    BtnAutoSort = P::named(new QPushButton(tr("自动分拣(&W)…")), "BtnAutoSort");
    {
        auto* strip = static_cast<QHBoxLayout*>(Panel1->layout());
        strip->insertWidget(strip->indexOf(BtnHistory) + 1, BtnAutoSort);
        setTabOrder(BtnHistory, BtnAutoSort);
        setTabOrder(BtnAutoSort, BtnAout);
        connect(BtnAutoSort, &QPushButton::clicked, this, [this] { BtnAutoSortClick(); });
    }
    finishBuilding(838, 648);

    FormCreate();
}

TForm1::~TForm1() {
    // The lists' models outlive this part of the window and report their
    // rows going as the widgets are taken down; nothing may be told then.
    for (QAbstractItemModel* model :
         {ListBox2->model(), ChkLstPic->model(), LstTakenTypes->model()})
        QObject::disconnect(model, nullptr, this, nullptr);
}

void TForm1::buildPages() {
    // Pages 0 and 1: keywords and the base name.
    buildSharedPages(SortIllustration::Kind::Keywords, SortIllustration::Kind::BaseName,
                     {tr("只按文件名部分进行分拣，从："),
                      tr("判断文件名时过滤以下字符（多个字符以 * （星号）分隔）："),
                      tr("只分拣与输出文件夹下已存在目录的相匹配的文件项")});

    // Page 2: file type.
    TabSheet3 = P::whitePage("TabSheet3");
    LblHeading3 = P::heading("LblHeading3", tr("     按文件类型分拣 "));
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
    LblHeading4 = P::heading("LblHeading4", tr("     按文件大小分拣"));
    Label6 = P::named(new QLabel(tr("分拣出满足条件的文件：")), "Label6");
    CmbCondition = P::dropDown("CmbCondition", {tr("大于"), tr("小于")});
    EdtSize = P::named(new QLineEdit, "EdtSize");
    EdtSize->setFixedWidth(120);
    KeyFilter::install(EdtSize, KeyFilter::kDigits + QLatin1Char('.'));
    CmbUnit = P::dropDown("CmbUnit", {tr("KB"), tr("MB")});
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
    // Names for screen readers: the caption before the row names the
    // condition; the size and its unit have no label of their own.
    Label6->setBuddy(CmbCondition);
    EdtSize->setAccessibleName(tr("文件大小"));
    HiddenLabel::name(CmbUnit, tr("大小单位"));

    // Page 4: date; it has no heading.
    TabSheet5 = P::whitePage("TabSheet5");
    RbCreateTime = P::named(new QRadioButton(tr("文件创建时间")), "RbCreateTime");
    RbModifyTime = P::named(new QRadioButton(tr("文件修改时间")), "RbModifyTime");
    RbCreateTime->setChecked(true);
    buildDateControls();
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
    HiddenLabel::name(CmbFileDate, tr("日期条件"));

    // Page 5: picture size.
    TabSheet6 = P::whitePage("TabSheet6");
    LblHeading6 = P::heading("LblHeading6", tr("     按宽或高进行图像文件分拣"));
    RbPicW = P::named(new QRadioButton(tr("图片宽：")), "RbPicW");
    RbPicH = P::named(new QRadioButton(tr("图片高：")), "RbPicH");
    RbPicW->setChecked(true);
    CmbPic = P::dropDown("CmbPic", {tr("大于等于"), tr("小于等于"), tr("等于")});
    EdtPic = P::named(new QLineEdit, "EdtPic");
    EdtPic->setFixedWidth(120);
    KeyFilter::install(EdtPic, KeyFilter::kDigits);
    Label7 = P::named(new QLabel(tr("像素")), "Label7");
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
    HiddenLabel::name(CmbPic, tr("图片尺寸条件"));
    Label7->setBuddy(EdtPic);

    PageControl1->addTab(TabSheet1, tr(" 按文件名匹配关键字分拣 "));
    PageControl1->addTab(TabSheet2, tr(" 按文件名分拣"));
    PageControl1->addTab(TabSheet3, tr(" 按文件类型分拣"));
    PageControl1->addTab(TabSheet4, tr(" 按文件大小分拣"));
    PageControl1->addTab(TabSheet5, tr(" 按文件日期属性分拣"));
    PageControl1->addTab(TabSheet6, tr(" 图像文件分拣"));

    // Page 6: photos and videos by the day they were taken.
    TabSheet7 = new TakenDatePage;
    PageControl1->addTab(TabSheet7, tr(" 拍摄日期"));
    PageControl1->setCurrentIndex(1);  // the page the layout marks active
    RootLayout->addWidget(PageControl1);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
    connect(ChkFileNamePart, &QCheckBox::toggled, this, [this] { ChkFileNamePartClick(); });
}

void TForm1::buildOptionArea() {
    GroupBox5 = P::named(new QGroupBox(tr("分拣选项")), "GroupBox5");
    lblOption = P::named(new QLabel(tr("分拣方式：%1").arg(QString())), "lblOption");
    lblOption->setFixedWidth(240);

    PnlOption = P::strip("PnlOption");
    ChkInclude = P::named(new QCheckBox(tr("只分拣这些类型文件：")), "ChkInclude");
    ChkExclude = P::named(new QCheckBox(tr("不分拣这些类型文件：")), "ChkExclude");
    auto* types = new ColumnListWidget(6);
    types->setVisibleRows(2);
    ListBox2 = P::named(types, "ListBox2");
    // A list takes no name from a label.
    ListBox2->setAccessibleName(tr("文件类型"));
    BtnAddSuffix = P::named(new QPushButton(tr("添加")), "BtnAddSuffix");
    BtnDelSuffix = P::named(new QPushButton(tr("删除")), "BtnDelSuffix");
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
    Label9 = P::named(new QLabel(tr("图片文件类型包括：")), "Label9");
    auto* pictures = new ColumnListWidget(3);
    pictures->setVisibleRows(2);
    ChkLstPic = P::named(pictures, "ChkLstPic");
    // Named with the words of the label beside it, which a list does not take.
    ChkLstPic->setAccessibleName(Label9->text());
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

    PnlOption3 = P::strip("PnlOption3");
    LblTakenTypes = P::named(new QLabel(tr("照片和视频类型包括：")), "LblTakenTypes");
    // As high as the picture list; the types beyond the box's width scroll.
    auto* taken = new ColumnListWidget(7);
    taken->setVisibleRows(2);
    LstTakenTypes = P::named(taken, "LstTakenTypes");
    LstTakenTypes->setAccessibleName(LblTakenTypes->text());
    for (const char* type : kTakenTypes) {
        auto* item = new QListWidgetItem(TakenTypeText(type), LstTakenTypes);
        item->setData(Qt::UserRole, QString::fromLatin1(type));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    {
        auto* layout = new QHBoxLayout(PnlOption3);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(LblTakenTypes);
        layout->addWidget(LstTakenTypes, 1);
    }

    auto* layout = new QHBoxLayout(GroupBox5);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->addWidget(lblOption);
    layout->addWidget(PnlOption, 1);
    layout->addWidget(PnlOption2, 1);
    layout->addWidget(PnlOption3, 1);
    RootLayout->addWidget(GroupBox5);

    connect(ChkInclude, &QCheckBox::toggled, this, [this] { ChkIncludeClick(); });
    connect(ChkExclude, &QCheckBox::toggled, this, [this] { ChkExcludeClick(); });
    connect(BtnAddSuffix, &QPushButton::clicked, this, [this] { BtnAddSuffixClick(); });
    connect(BtnDelSuffix, &QPushButton::clicked, this, [this] { BtnDelSuffixClick(); });
}

void TForm1::setDialogs(TForm3* addDirectory, TfrmAbout* about, TfrmSuffix* addType) {
    m_addDirectory = addDirectory;
    setAboutBox(about);
    m_addType = addType;
}

void TForm1::setFolderWindow(TForm6* folderWindow) { setOtherWindow(folderWindow); }

// ---------------------------------------------------------------------------
// Creation and closing

void TForm1::FormCreate() {
    setWindowTitle(AppTitle());
    ListBox1->setAcceptDrops(true);
    ListBox1->viewport()->setAcceptDrops(true);
    ListBox1->viewport()->installEventFilter(this);
    for (QListWidget* list : {ChkLstPic, LstTakenTypes}) {
        for (int row = 0; row < list->count(); ++row) list->item(row)->setCheckState(Qt::Checked);
    }
    // Any change to a list has the next read gather it afresh.
    for (QAbstractItemModel* model :
         {ListBox2->model(), ChkLstPic->model(), LstTakenTypes->model()}) {
        const auto stale = [this] {
            m_patternsRead = false;
            liveOptionsChanged();
        };
        connect(model, &QAbstractItemModel::dataChanged, this, stale);
        connect(model, &QAbstractItemModel::rowsInserted, this, stale);
        connect(model, &QAbstractItemModel::rowsRemoved, this, stale);
        connect(model, &QAbstractItemModel::rowsMoved, this, stale);
        connect(model, &QAbstractItemModel::modelReset, this, stale);
        connect(model, &QAbstractItemModel::layoutChanged, this, stale);
    }
    // The mode and the type filter are reread by a run before each file.
    for (QAbstractButton* b :
         std::initializer_list<QAbstractButton*>{RbMove, ChkInclude, ChkExclude})
        connect(b, &QAbstractButton::toggled, this, [this] { liveOptionsChanged(); });
    ApplySettings(LoadFileWindowSettings(settingsPath(), defaultOutDir()));
    PageControl1Change();
}

std::string TForm1::writeSettings() const {
    return SaveFileWindowSettings(settingsPath(), ReadSettings());
}

void TForm1::ApplySettings(const FileWindowSettings& s) {
    applySharedSettings(s);
    (s.picHeight ? RbPicH : RbPicW)->setChecked(true);
    P::setIndex(CmbPic, s.cmbPic);
    EdtPic->setText(FromNative(s.picSizeValue));
    P::setIndex(CmbCondition, s.cmbCondition);
    P::setIndex(CmbUnit, s.cmbUnit);
    EdtSize->setText(FromNative(s.fileSize));
    ListBox2->clear();
    for (const std::string& pattern : s.suffixFilter) ListBox2->addItem(FromNative(pattern));
    (s.fileAttrModified ? RbModifyTime : RbCreateTime)->setChecked(true);
    TabSheet7->apply(s);
}

void TForm1::ApplyOptions(const SortOptions& o) {
    applySharedOptions(o);
    (o.transferMode == TransferMode::Move ? RbMove : RbCopy)->setChecked(true);
    // Both off first: checking one unchecks the other through its handler.
    ChkInclude->setChecked(false);
    ChkExclude->setChecked(false);
    if (o.typeFilter == TypeFilterMode::Include) ChkInclude->setChecked(true);
    if (o.typeFilter == TypeFilterMode::Exclude) ChkExclude->setChecked(true);
    ListBox2->clear();
    for (const std::string& pattern : o.typePatterns) ListBox2->addItem(FromNative(pattern));
    for (int row = 0; row < ChkLstPic->count(); ++row) {
        QListWidgetItem* item = ChkLstPic->item(row);
        const bool on = std::find(o.picturePatterns.begin(), o.picturePatterns.end(),
                                  ToNative(item->text())) != o.picturePatterns.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }

    EdtSize->setText(FromNative(o.sizeText));
    P::setIndex(CmbCondition,
                o.sizeCondition ? (*o.sizeCondition == SizeCondition::Greater ? 0 : 1) : -1);
    P::setIndex(CmbUnit, o.sizeUnit ? (*o.sizeUnit == SizeUnit::MB ? 1 : 0) : -1);

    (o.dateSource == DateSource::Modified ? RbModifyTime : RbCreateTime)->setChecked(true);
    P::setIndex(CmbFileDate, o.dateCondition == DateCondition::Earlier ? 0 : 1);
    const QDate date(o.thresholdDate.year, o.thresholdDate.month, o.thresholdDate.day);
    if (date.isValid()) DtDate->setDate(date);
    const QTime time(o.thresholdTime.hour, o.thresholdTime.minute, o.thresholdTime.second);
    if (time.isValid()) DtTime->setTime(time);

    (o.picDimension == PicDimension::Height ? RbPicH : RbPicW)->setChecked(true);
    int pic = -1;
    if (o.picCondition) {
        switch (*o.picCondition) {
            case PicCondition::AtLeast:
                pic = 0;
                break;
            case PicCondition::AtMost:
                pic = 1;
                break;
            case PicCondition::Exactly:
                pic = 2;
                break;
        }
    }
    P::setIndex(CmbPic, pic);
    EdtPic->setText(FromNative(o.picText));

    TabSheet7->apply(o);
    // The listed types as the options check them; a type the list lacks (a
    // plan made on the command line) joins it, so the plan is kept whole.
    std::vector<bool> found(o.takenPatterns.size(), false);
    for (int row = 0; row < LstTakenTypes->count(); ++row) {
        QListWidgetItem* item = LstTakenTypes->item(row);
        const QString pattern = item->data(Qt::UserRole).toString();
        bool on = false;
        for (size_t i = 0; i < o.takenPatterns.size(); ++i) {
            if (FromNative(o.takenPatterns[i]).compare(pattern, Qt::CaseInsensitive) == 0) {
                on = true;
                found[i] = true;
            }
        }
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    for (size_t i = 0; i < o.takenPatterns.size(); ++i) {
        if (found[i] || o.takenPatterns[i].empty()) continue;
        auto* item = new QListWidgetItem(TakenTypeText(o.takenPatterns[i]), LstTakenTypes);
        item->setData(Qt::UserRole, FromNative(o.takenPatterns[i]));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

FileWindowSettings TForm1::ReadSettings() const {
    FileWindowSettings s;
    readSharedSettings(s);
    s.picHeight = RbPicH->isChecked();
    s.cmbPic = CmbPic->currentIndex();
    s.picSizeValue = ToNative(EdtPic->text());
    s.cmbCondition = CmbCondition->currentIndex();
    s.cmbUnit = CmbUnit->currentIndex();
    s.fileSize = ToNative(EdtSize->text());
    for (int row = 0; row < ListBox2->count(); ++row) {
        std::string pattern = ToNative(ListBox2->item(row)->text());
        if (!pattern.empty()) s.suffixFilter.push_back(std::move(pattern));
    }
    s.fileAttrModified = RbModifyTime->isChecked();
    TabSheet7->read(s);
    return s;
}

// ---------------------------------------------------------------------------
// Options

void TForm1::readLiveOptions(SortOptions& o) const {
    o.transferMode = RbMove->isChecked() ? TransferMode::Move : TransferMode::Copy;
    o.sameFilePolicy = sameFilePolicy();
    if (ChkExclude->isChecked()) {
        o.typeFilter = TypeFilterMode::Exclude;
    } else if (ChkInclude->isChecked()) {
        o.typeFilter = TypeFilterMode::Include;
    } else {
        o.typeFilter = TypeFilterMode::None;
    }
    if (!m_patternsRead) {
        m_typePatterns.clear();
        for (int row = 0; row < ListBox2->count(); ++row) {
            m_typePatterns.push_back(ToNative(ListBox2->item(row)->text()));
        }
        m_picturePatterns.clear();
        for (int row = 0; row < ChkLstPic->count(); ++row) {
            const QListWidgetItem* item = ChkLstPic->item(row);
            if (item->checkState() == Qt::Checked)
                m_picturePatterns.push_back(ToNative(item->text()));
        }
        m_takenPatterns.clear();
        for (int row = 0; row < LstTakenTypes->count(); ++row) {
            const QListWidgetItem* item = LstTakenTypes->item(row);
            if (item->checkState() == Qt::Checked)
                m_takenPatterns.push_back(ToNative(item->data(Qt::UserRole).toString()));
        }
        m_patternsRead = true;
    }
    o.typePatterns = m_typePatterns;
    o.picturePatterns = m_picturePatterns;
    o.takenPatterns = m_takenPatterns;
}

SortOptions TForm1::ReadOptions() const {
    SortOptions o = readSharedOptions();
    readLiveOptions(o);

    o.sizeText = ToNative(EdtSize->text());
    // The boxes are read by index, never by their (translated) items: the
    // folders a run names after a condition take the engine's own words.
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
    o.thresholdDate = shownDate();
    o.thresholdTime = shownTime();

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
    TabSheet7->read(o);
    return o;
}

// ---------------------------------------------------------------------------
// SortHost

QWidget* TForm1::optionControl(OptionId option) const {
    switch (option) {
        case OptionId::Size:
            return EdtSize;
        case OptionId::PicValue:
            return EdtPic;
        default:
            return SortWindow::optionControl(option);
    }
}

void TForm1::refreshLiveOptions(SortOptions& options) { readLiveOptions(options); }

// ---------------------------------------------------------------------------
// Pages and options

void TForm1::PageControl1Change() {
    const int page = PageControl1->currentIndex();
    lblOption->setText(tr("分拣方式：%1").arg(PageControl1->tabText(page)));
    // Exactly one of the boxes is on show; none is cleared.
    PnlOption->setVisible(page != kPicturePage && page != kTakenPage);
    PnlOption2->setVisible(page == kPicturePage);
    PnlOption3->setVisible(page == kTakenPage);
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

SortWindow::SortFunction TForm1::sortFunction() const { return &RunFileSort; }

// ---------------------------------------------------------------------------
// The list

void TForm1::Button1Click() {
    const QStringList chosen = FilePickers::openFiles(this, QStringLiteral("*.* (*)"));
    for (const QString& path : chosen) sourceList().AddIfAbsent(ToNative(path));
    syncList();
}

void TForm1::Button5Click() {
    if (!m_addDirectory || listGroup().walking()) return;
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
            MessageBoxes::error(this, tr("'%1' is not a valid integer value").arg(text));
            return;
        }
        depth = *parsed;
    }

    listGroup().walk([&](SourceList& list, const WalkTick& tick) {
        if (all) {
            IndexDisk(list, base, tick);
        } else if (limited) {
            IndexDisk2(list, base, depth, tick);
        } else {
            AddFolderFiles(list, base, tick);
        }
    });
}

void TForm1::BtnAutoSortClick() {
    if (!m_autoSort) m_autoSort = std::make_unique<AutoSortDialog>(settingsPath(), this);
    RunJournal* runs = journal() ? &journal()->get() : nullptr;
    m_autoSort->load(runs);
    ModalDialogs::exec(*m_autoSort);
}

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
