#include "Unit6.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <string_view>

#include "AppTitle.h"
#include "FileOps.h"
#include "FilePickers.h"
#include "FolderSort.h"
#include "FormParts.h"
#include "MessageBoxes.h"
#include "NativeText.h"
#include "PathNames.h"
#include "SortIllustration.h"
#include "Unit1.h"
#include "Walks.h"

namespace zanfeld {

namespace {

constexpr int kDatePage = 2;  // kept for the settings only; its tab is hidden

using P = FormParts;

// A whole disk cannot be sorted as one folder. The root is this system's
// stand-in for a drive such as "C:\".
bool IsDriveRoot(std::string_view path) {
    return !path.empty() && path.find_first_not_of(kPathSeparator) == std::string_view::npos;
}

}  // namespace

TForm6::TForm6(std::string settingsPath, std::string defaultOutDir, QWidget* parent)
    : SortWindow(std::move(settingsPath), std::move(defaultOutDir),
                 Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                     Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint,
                 parent) {
    setObjectName(QStringLiteral("Form6"));

    buildSwitchStrip(SwitchStrip::Window::Folders);
    // The list takes no dropped items here.
    buildListArea(SourceListGroup::Texts{tr("要分拣的文件夹（目录）"), tr("添加文件夹"),
                                         tr("添加目录下级目录"), tr("移除文件夹"),
                                         QStringLiteral("dir.lst"), ListKind::Folders});
    buildPages();
    buildResultArea();
    // Folders are only ever copied: the one choice is always checked.
    buildModeArea(nullptr, tr("复制式分拣(将文件夹复制到分拣目录)"));
    buildBottomStrip();
    finishBuilding(838, 650);

    FormCreate();
}

TForm6::~TForm6() = default;

void TForm6::buildPages() {
    // Pages 0 and 1: keywords in the folder name, and the folder name.
    buildSharedPages(SortIllustration::Kind::FolderKeywords, SortIllustration::Kind::FolderName,
                     {tr("只按目录名部分进行分拣，从："),
                      tr("判断目录名时过滤以下字符（多个字符以*（星号）分隔）"),
                      tr("只分拣与输出文件夹下已存在目录的相匹配的目录项")});

    // Page 2: the folder's date. No run uses it; only the settings keep its values.
    TabSheet3 = P::whitePage("TabSheet3");
    Label6 = P::named(new QLabel(tr("文件夹创建时间：")), "Label6");
    buildDateControls();
    Label6->setBuddy(CmbFileDate);
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

    PageControl1->addTab(TabSheet1, tr(" 按目录名匹配关键字分拣 "));
    PageControl1->addTab(TabSheet2, tr(" 按目录名分拣"));
    PageControl1->addTab(TabSheet3, tr(" 按目录日期属性分拣"));
    PageControl1->setTabVisible(kDatePage, false);
    PageControl1->setCurrentIndex(1);  // the page the layout marks active
    RootLayout->addWidget(PageControl1);
}

void TForm6::setFileWindow(TForm1* fileWindow) { setOtherWindow(fileWindow); }

// ---------------------------------------------------------------------------
// Creation and closing

void TForm6::FormCreate() {
    setWindowTitle(AppTitle());
    ApplySettings(LoadFolderWindowSettings(settingsPath(), defaultOutDir()));
}

std::string TForm6::writeSettings() const {
    return SaveFolderWindowSettings(settingsPath(), ReadSettings());
}

void TForm6::ApplySettings(const FolderWindowSettings& s) { applySharedSettings(s); }

// Folders are only ever copied, and the date page is read by no run: the
// shared options are all a folder plan can show.
void TForm6::ApplyOptions(const SortOptions& options) { applySharedOptions(options); }

FolderWindowSettings TForm6::ReadSettings() const {
    FolderWindowSettings s;
    readSharedSettings(s);
    return s;
}

// ---------------------------------------------------------------------------
// Options

SortOptions TForm6::ReadOptions() const {
    SortOptions o = readSharedOptions();
    o.transferMode = TransferMode::Copy;
    return o;
}

void TForm6::refreshLiveOptions(SortOptions& options) {
    // The same-name answer is the folder run's only option that may change.
    options.sameFilePolicy = sameFilePolicy();
}

SortWindow::SortFunction TForm6::sortFunction() const { return &RunFolderSort; }

// ---------------------------------------------------------------------------
// Handlers

void TForm6::Button1Click() {
    const QString chosen = FilePickers::chooseFolder(this, tr("请选择文件夹"));
    if (chosen.isEmpty()) return;
    const std::string path = ToNative(chosen);
    if (IsDriveRoot(path)) {
        // This refusal belongs to the application, not to the window.
        MessageBoxes::information(nullptr, tr("不能对驱动器（磁盘）进行分拣！"));
        return;
    }
    // Whether the folder exists is left to the run.
    sourceList().AddIfAbsent(path);
    syncList();
}

void TForm6::Button5Click() {
    if (listGroup().walking()) return;
    const QString chosen = FilePickers::chooseFolder(this, tr("请选择上级目录（文件夹）"));
    if (chosen.isEmpty()) return;
    const std::string parent = ToNative(chosen);
    if (!DirExists(parent)) return;
    const std::string base = WithTrailingSeparator(parent);
    listGroup().walk(
        [&](SourceList& list, const WalkTick& tick) { AddSubFolders(list, base, tick); });
}

}  // namespace zanfeld
