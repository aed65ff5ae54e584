// The folder sorting window: its controls, the list buttons, the window's
// side of the SortHost, whole folder runs from the start button and the
// settings section read at creation.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <algorithm>
#include <memory>

#include "AppWindows.h"
#include "FileChecks.h"
#include "SettingsFile.h"
#include "SortIllustration.h"
#include "StarCaption.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

using Entries = std::vector<std::string>;

class FolderWindowTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        MakeDir(m_dir / "prog");
    }
    void TearDown() override {
        m_windows.reset();
        UiTest::TearDown();
    }

    std::string Ini() const { return m_dir / "Zanfeld.ini"; }
    TForm6& Open() {
        m_windows = std::make_unique<AppWindows>(Ini(), m_dir / "prog");
        form = &m_windows->folderWindow();
        list = Find<QListView>(form, "ListBox1");
        return *form;
    }
    template <typename T>
    T* W(const char* name) {
        return Find<T>(form, name);
    }
    const Entries& entries() { return form->sourceList().entries(); }
    int rows() { return list->model()->rowCount(); }
    QString row(int r) { return list->model()->index(r, 0).data().toString(); }

    // Adds a folder with the add-folder button.
    void AddFolder(const std::string& path) {
        FilePickers::queueAnswer({Q(path)});
        W<QPushButton>("Button1")->click();
    }

    LockState Locks() const { return LocksOf(*form); }

    TempDir m_dir;
    std::unique_ptr<AppWindows> m_windows;
    TForm6* form = nullptr;
    QListView* list = nullptr;
};

TEST_F(FolderWindowTest, WindowHasItsControlsCaptionsAndAreaOrder) {
    Open();
    EXPECT_FALSE(form->isVisible());  // created hidden
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Zanfeld"));
    EXPECT_NEAR(form->width(), 838, 40);
    EXPECT_NEAR(form->height(), 650, 40);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    form->show();  // laid out from here on

    EXPECT_EQ(W<QRadioButton>("RbForm1")->text(), QStringLiteral("文件分拣"));
    EXPECT_EQ(W<QRadioButton>("RbForm6")->text(), QStringLiteral("文件夹（目录）分拣"));
    EXPECT_TRUE(W<QRadioButton>("RbForm6")->isChecked());
    EXPECT_FALSE(W<QRadioButton>("RbForm1")->isChecked());

    const std::pair<const char*, const char*> buttons[] = {
        {"Button1", "添加文件夹"}, {"Button5", "添加目录下级目录"}, {"Button2", "移除文件夹"},
        {"Button6", "清空列表"},   {"BtnSaveFileList", "导出列表"}, {"BtnImpFileList", "导入列表"},
        {"Button3", "选择"},       {"BtnCopy", "开始处理(&S)"},     {"BtnPreview", "预览(&P)"},
        {"BtnStop", "停止(&T)"},   {"BtnUndo", "撤销上次分拣(&U)"}, {"BtnHistory", "分拣记录(&H)"},
        {"BtnAout", "关于(&A)"}};
    for (const auto& [name, text] : buttons) {
        EXPECT_EQ(W<QPushButton>(name)->text(), QString::fromUtf8(text)) << name;
    }
    // 停止 waits for a run; the status line tells the list's length.
    EXPECT_FALSE(W<QPushButton>("BtnStop")->isEnabled());
    EXPECT_EQ(W<QLabel>("LblStatus")->text(), QStringLiteral("列表中共有 0 个文件夹"));
    // The add buttons stand in a column, top to bottom.
    int lastY = -1;
    for (const char* name :
         {"Button1", "Button5", "Button2", "Button6", "BtnSaveFileList", "BtnImpFileList"}) {
        const int y = W<QWidget>(name)->mapTo(form, QPoint(0, 0)).y();
        EXPECT_GT(y, lastY) << name;
        lastY = y;
    }

    EXPECT_EQ(W<QGroupBox>("GroupBox1")->title(), QStringLiteral("要分拣的文件夹（目录）"));

    ExpectSharedResultControls(*form);

    // Copying is the only transfer mode.
    auto* copy = W<QRadioButton>("RbCopy");
    EXPECT_EQ(copy->text(), QStringLiteral("复制式分拣(将文件夹复制到分拣目录)"));
    EXPECT_TRUE(copy->isChecked());
    EXPECT_EQ(W<QGroupBox>("GroupBox2")->findChildren<QRadioButton*>().size(), 1);
    EXPECT_EQ(form->findChild<QWidget*>(QStringLiteral("RbMove")), nullptr);

    auto* bar = W<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    // This list takes no dropped items.
    EXPECT_FALSE(list->acceptDrops());
    EXPECT_FALSE(list->viewport()->acceptDrops());

    lastY = -1;
    for (const char* area :
         {"Panel9", "GroupBox1", "PageControl1", "GroupBox3", "Panel2", "Panel1"}) {
        const int y = W<QWidget>(area)->mapTo(form, QPoint(0, 0)).y();
        EXPECT_GT(y, lastY) << area;
        lastY = y;
    }
}

TEST_F(FolderWindowTest, PagesCarryTheirCaptionsAndTheDatePageIsHidden) {
    Open();
    auto* pages = W<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0), QStringLiteral(" 按目录名匹配关键字分拣 "));
    EXPECT_EQ(pages->tabText(1), QStringLiteral(" 按目录名分拣"));
    EXPECT_EQ(pages->tabText(2), QStringLiteral(" 按目录日期属性分拣"));
    EXPECT_TRUE(pages->isTabVisible(0));
    EXPECT_TRUE(pages->isTabVisible(1));
    EXPECT_FALSE(pages->isTabVisible(2));

    auto labelsOf = [&](int page) { return LabelTexts(pages->widget(page)); };
    EXPECT_TRUE(labelsOf(0).contains(QStringLiteral("     按文件名匹配关键字分拣  ")));
    EXPECT_TRUE(labelsOf(0).contains(
        QStringLiteral("请输入关键字（多个关键字以空格分隔）：               ")));
    EXPECT_EQ(Find<SortIllustration>(pages->widget(0), "Image1")->kind(),
              SortIllustration::Kind::FolderKeywords);
    Find<QLineEdit>(pages->widget(0), "EdtKeys");

    EXPECT_TRUE(labelsOf(1).contains(QStringLiteral("     按文件名称分拣 ")));
    EXPECT_TRUE(labelsOf(1).contains(QStringLiteral("字符到：")));
    EXPECT_TRUE(labelsOf(1).contains(QStringLiteral("字符")));
    EXPECT_EQ(Find<SortIllustration>(pages->widget(1), "Image2")->kind(),
              SortIllustration::Kind::FolderName);
    EXPECT_EQ(Find<QCheckBox>(pages->widget(1), "ChkFileNamePart")->text(),
              QStringLiteral("只按目录名部分进行分拣，从："));
    EXPECT_FALSE(W<QCheckBox>("ChkFileNamePart")->isChecked());
    EXPECT_EQ(Find<StarCaption>(pages->widget(1), "ImgFilter")->text(),
              QStringLiteral("判断目录名时过滤以下字符（多个字符以*（星号）分隔）"));
    EXPECT_EQ(Find<QCheckBox>(pages->widget(1), "ChkOnlyMatchDir")->text(),
              QStringLiteral("只分拣与输出文件夹下已存在目录的相匹配的目录项"));
    for (const char* name : {"EdtPartNameBegin", "EdtPartNameEnd", "EdtFilter"}) {
        Find<QLineEdit>(pages->widget(1), name);
    }
    // The range boxes take digits only, as in the file window.
    form->show();
    pages->setCurrentIndex(1);
    for (const char* name : {"EdtPartNameBegin", "EdtPartNameEnd"}) {
        auto* box = W<QLineEdit>(name);
        TypeInto(box, "x1-2 .");
        EXPECT_EQ(box->text(), "12") << name;
        EXPECT_FALSE(TakesInputMethod(box)) << name;
    }

    EXPECT_TRUE(labelsOf(2).contains(QStringLiteral("文件夹创建时间：")));
    auto* when = Find<QComboBox>(pages->widget(2), "CmbFileDate");
    ASSERT_EQ(when->count(), 2);
    EXPECT_EQ(when->itemText(0), QStringLiteral("早于"));
    EXPECT_EQ(when->itemText(1), QStringLiteral("晚于"));
    EXPECT_FALSE(when->isEditable());
    EXPECT_EQ(Find<QDateEdit>(pages->widget(2), "DtDate")->date(), QDate(2013, 5, 6));
    EXPECT_EQ(Find<QTimeEdit>(pages->widget(2), "DtTime")->time(), QTime(0, 0, 0));
}

TEST_F(FolderWindowTest, TheListTakesAddedHeightAndEveryTabReadsAtTheSmallestWidth) {
    Open();
    ExpectListGrowsAndTabsStayReadable(*form);
}

TEST_F(FolderWindowTest, AddFolderRefusesTheRootAndListsEachFolderOnce) {
    Open();
    const std::string a = m_dir / "Photos";
    const std::string missing = m_dir / "not-there";
    MakeDir(a);

    W<QPushButton>("Button1")->click();  // cancelled
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(FilePickers::requests()[0].kind, FilePickers::Kind::Folder);
    EXPECT_EQ(FilePickers::requests()[0].title, QStringLiteral("请选择文件夹"));
    EXPECT_TRUE(entries().empty());

    AddFolder(a);
    AddFolder(a);        // the same folder again
    AddFolder(missing);  // existence is not tested here
    EXPECT_EQ(entries(), (Entries{a, missing}));
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(row(0), Q(a));
    EXPECT_TRUE(MessageBoxes::shown().empty());

    AddFolder("/");
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Information);
    EXPECT_EQ(MessageBoxes::shown()[0].caption, "Zanfeld");
    EXPECT_EQ(MessageBoxes::shown()[0].text, QStringLiteral("不能对驱动器（磁盘）进行分拣！"));
    EXPECT_EQ(MessageBoxes::shown()[0].owner, nullptr);  // the application's box
    EXPECT_EQ(entries(), (Entries{a, missing}));
    EXPECT_EQ(rows(), 2);
}

TEST_F(FolderWindowTest, AddSubFoldersTakesTheFirstLevelAndLeavesHiddenOnesOut) {
    Open();
    const std::string parent = m_dir / "parent";
    MakeDir(parent + "/西游记/deeper");
    MakeDir(parent + "/b");
    MakeDir(parent + "/.hidden");
    WriteFile(parent + "/file.txt", "not a folder");
    WriteFile(parent + "/b/inner.txt", "x");

    W<QPushButton>("Button5")->click();  // cancelled
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(FilePickers::requests()[0].title, QStringLiteral("请选择上级目录（文件夹）"));
    FilePickers::queueAnswer({Q(m_dir / "no-such-parent")});
    W<QPushButton>("Button5")->click();  // a parent that does not exist
    EXPECT_TRUE(entries().empty());

    AddFolder(parent + "/b");  // already listed
    FilePickers::queueAnswer({Q(parent)});
    W<QPushButton>("Button5")->click();
    Entries sorted = entries();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (Entries{parent + "/b", parent + "/西游记"}));
    EXPECT_EQ(entries().front(), parent + "/b");  // the new one comes after it
    EXPECT_EQ(rows(), 2);

    // Again with a trailing separator: nothing new, no doubled separator.
    FilePickers::queueAnswer({Q(parent + "/")});
    W<QPushButton>("Button5")->click();
    EXPECT_EQ(entries().size(), 2u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (const char* name :
         {"Button1", "Button5", "Button2", "Button6", "BtnSaveFileList", "BtnImpFileList"}) {
        EXPECT_TRUE(W<QPushButton>(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(MessageBoxes::shown().empty());

    // The root may be chosen here: its visible folders, each with one separator.
    W<QPushButton>("Button6")->click();
    FilePickers::queueAnswer({"/"});
    W<QPushButton>("Button5")->click();
    ASSERT_FALSE(entries().empty());
    for (const std::string& entry : entries()) {
        EXPECT_EQ(entry.rfind('/'), 0u) << entry;
        EXPECT_NE(entry[1], '.') << entry;
        EXPECT_TRUE(IsDir(entry)) << entry;
    }
    EXPECT_NE(std::find(entries().begin(), entries().end(), "/tmp"), entries().end());
    EXPECT_TRUE(MessageBoxes::shown().empty());
}

TEST_F(FolderWindowTest, RemoveClearExportAndImportWorkOnFolders) {
    Open();
    W<QPushButton>("BtnSaveFileList")->click();
    ASSERT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("当前文件列表为空！")});
    EXPECT_EQ(MessageBoxes::shown()[0].owner, form);
    EXPECT_TRUE(FilePickers::requests().empty());

    const std::string a = m_dir / "a";
    const std::string b = m_dir / "b";
    const std::string file = m_dir / "file.txt";
    MakeDir(a);
    MakeDir(b);
    WriteFile(file, "x");
    AddFolder(a);
    AddFolder(b);
    AddFolder(m_dir / "gone");

    list->clearSelection();
    W<QPushButton>("Button2")->click();  // nothing selected
    EXPECT_EQ(entries().size(), 3u);
    list->setCurrentIndex(list->model()->index(2, 0));
    W<QPushButton>("Button2")->click();
    EXPECT_EQ(entries(), (Entries{a, b}));

    const std::string lst = m_dir / "saved.lst";
    FilePickers::queueAnswer({Q(lst)});
    W<QPushButton>("BtnSaveFileList")->click();
    EXPECT_EQ(FilePickers::requests().back().kind, FilePickers::Kind::SaveFile);
    EXPECT_EQ(FilePickers::requests().back().preset, "dir.lst");
    EXPECT_EQ(ReadFile(lst), a + "\r\n" + b + "\r\n");

    W<QPushButton>("Button6")->click();
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(rows(), 0);

    // Only lines that name folders come in; files and missing ones do not.
    WriteFile(lst, b + "\r\n" + file + "\r\n" + m_dir / "gone" + "\n" + a + "\n" + b + "\n");
    FilePickers::queueAnswer({Q(lst)});
    W<QPushButton>("BtnImpFileList")->click();
    EXPECT_EQ(FilePickers::requests().back().kind, FilePickers::Kind::OpenFile);
    EXPECT_EQ(entries(), (Entries{b, a}));
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(MessageBoxes::shown().size(), 1u);
}

TEST_F(FolderWindowTest, OutputFolderButtonAppendsSeparatorAndKeepsTextOnCancel) {
    Open();
    auto* out = W<QLineEdit>("EdtOutDir");
    out->setText("/keep/");
    W<QPushButton>("Button3")->click();  // cancelled
    EXPECT_EQ(out->text(), "/keep/");
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(FilePickers::requests()[0].title, QStringLiteral("请选择文件夹"));

    FilePickers::queueAnswer({Q(m_dir.path())});
    W<QPushButton>("Button3")->click();
    EXPECT_EQ(out->text(), Q(m_dir.path() + "/"));
    EXPECT_EQ(form->outputDir(), m_dir.path() + "/");
}

TEST_F(FolderWindowTest, HostLocksOnlyTheRunControlsAndRereadsOnlyTheSameNameChoice) {
    Open();
    form->setBusy(true);
    EXPECT_FALSE(W<QPushButton>("BtnCopy")->isEnabled());
    EXPECT_FALSE(W<QTabWidget>("PageControl1")->isEnabled());
    EXPECT_FALSE(W<QLineEdit>("EdtKeys")->isEnabled());
    EXPECT_FALSE(W<QPushButton>("Button3")->isEnabled());
    EXPECT_TRUE(W<QLineEdit>("EdtOutDir")->isReadOnly());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    for (const char* name :
         {"Button1", "Button5", "Button2", "Button6", "BtnSaveFileList", "BtnImpFileList",
          "BtnAout", "RbForm1", "RbAsk", "RbCopy", "ListBox1"}) {
        EXPECT_TRUE(W<QWidget>(name)->isEnabled()) << name;
    }
    form->setBusy(false);
    EXPECT_TRUE(W<QPushButton>("BtnCopy")->isEnabled());
    EXPECT_TRUE(W<QTabWidget>("PageControl1")->isEnabled());
    EXPECT_TRUE(W<QPushButton>("Button3")->isEnabled());
    EXPECT_FALSE(W<QLineEdit>("EdtOutDir")->isReadOnly());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    W<QTabWidget>("PageControl1")->setCurrentIndex(1);
    W<QLineEdit>("EdtOutDir")->setText("/out");
    W<QLineEdit>("EdtKeys")->setText(" 游记 A");
    W<QCheckBox>("ChkFileNamePart")->setChecked(true);
    W<QLineEdit>("EdtPartNameBegin")->setText("5");
    W<QLineEdit>("EdtPartNameEnd")->setText("2");
    W<QLineEdit>("EdtFilter")->setText("1*2");
    W<QCheckBox>("ChkOnlyMatchDir")->setChecked(true);
    W<QRadioButton>("RbRename")->setChecked(true);
    SortOptions o = form->ReadOptions();
    EXPECT_EQ(o.page, SortPage::FileName);
    EXPECT_EQ(o.outputDir, "/out");
    EXPECT_EQ(o.transferMode, TransferMode::Copy);
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::Rename);
    EXPECT_EQ(o.keywordText, " 游记 A");
    EXPECT_TRUE(o.useNamePart);
    EXPECT_EQ(o.partBeginText, "5");
    EXPECT_EQ(o.partEndText, "2");
    EXPECT_EQ(o.nameFilter, "1*2");
    EXPECT_TRUE(o.onlyMatchDir);

    W<QRadioButton>("RbEditFileTime")->setChecked(true);
    W<QLineEdit>("EdtKeys")->setText("changed");
    W<QCheckBox>("ChkOnlyMatchDir")->setChecked(false);
    W<QLineEdit>("EdtOutDir")->setText("/elsewhere");
    form->refreshLiveOptions(o);
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::EditFileTime);
    W<QRadioButton>("RbIdentical")->setChecked(true);
    form->refreshLiveOptions(o);
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::Identical);
    EXPECT_EQ(o.keywordText, " 游记 A");
    EXPECT_TRUE(o.onlyMatchDir);
    EXPECT_EQ(o.outputDir, "/out");
}

TEST_F(FolderWindowTest, RejectedOptionsFocusTheirControlOrOpenTheChooser) {
    Open();
    form->show();
    const std::pair<OptionId, const char*> controls[] = {{OptionId::Keywords, "EdtKeys"},
                                                         {OptionId::PartBegin, "EdtPartNameBegin"},
                                                         {OptionId::PartEnd, "EdtPartNameEnd"}};
    const int pages[] = {0, 1, 1};
    for (int i = 0; i < 3; ++i) {
        W<QTabWidget>("PageControl1")->setCurrentIndex(pages[i]);
        W<QPushButton>("BtnCopy")->setFocus();
        form->rejectOption("请输入整数序号!", controls[i].first);
        EXPECT_EQ(form->focusWidget(), W<QWidget>(controls[i].second)) << controls[i].second;
    }
    ASSERT_EQ(MessageBoxes::shown().size(), 3u);
    EXPECT_EQ(MessageBoxes::shown()[0].owner, form);
    EXPECT_EQ(MessageBoxes::shown()[0].caption, "Zanfeld");
    EXPECT_TRUE(FilePickers::requests().empty());

    FilePickers::queueAnswer({Q(m_dir.path())});
    form->rejectOption("请选择分拣结果输出目录！", OptionId::OutputDir);
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(m_dir.path() + "/"));
}

class FolderRunTest : public FolderWindowTest {
  protected:
    void SetUp() override {
        FolderWindowTest::SetUp();
        Open();
        src = m_dir / "src";
        out = m_dir / "out";
        MakeDir(out);
    }
    std::string src;
    std::string out;
};

TEST_F(FolderRunTest, KeywordRunCopiesTheFoldersLockingTheWindowMeanwhile) {
    WriteFile(src + "/西游记/a.txt", "new a");
    WriteFile(src + "/西游记/sub/b.txt", "new b");
    WriteFile(src + "/东游记/c.txt", "new c");
    WriteFile(src + "/红楼梦/d.txt", "new d");
    WriteFile(out + "/游记/西游记/a.txt", "old a");
    WriteFile(out + "/游记/东游记/c.txt", "old c");
    for (const char* name : {"西游记", "红楼梦", "东游记"}) AddFolder(src + "/" + name);

    W<QTabWidget>("PageControl1")->setCurrentIndex(0);
    W<QLineEdit>("EdtKeys")->setText(QStringLiteral("游记"));
    W<QLineEdit>("EdtOutDir")->setText(Q(out));  // the run appends the separator
    W<QRadioButton>("RbAsk")->setChecked(true);

    const BarWatch watch(*form);
    std::vector<LockState> locksAtBox;
    std::vector<int> barAtBox;
    std::vector<bool> freeAtQuestion;
    MessageBoxes::setHook([&](const MessageBoxes::Shown& box) {
        locksAtBox.push_back(Locks());
        barAtBox.push_back(W<QProgressBar>("ProgressBar1")->value());
        if (box.kind != MessageBoxes::Kind::Question) return;
        for (const char* name : {"Button1", "Button5", "Button2", "Button6", "BtnSaveFileList",
                                 "BtnImpFileList", "RbForm1", "BtnAout", "RbOverwrite"}) {
            freeAtQuestion.push_back(W<QWidget>(name)->isEnabled());
        }
        // While the question is open the user empties the list (the run goes
        // on with its own copy) and picks "覆盖" for the folders still to come.
        W<QPushButton>("Button6")->click();
        W<QRadioButton>("RbOverwrite")->click();
    });
    MessageBoxes::queueAnswer(true);

    StartRunAndWait(*form);

    ASSERT_EQ(BoxTexts(),
              (std::vector<QString>{QStringLiteral("文件") + Q(out + "/游记/西游记/a.txt") +
                                        QStringLiteral("已存在，是否覆盖？"),
                                    QStringLiteral("分拣工作完成！")}));
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Question);
    EXPECT_EQ(MessageBoxes::shown()[0].owner, nullptr);
    EXPECT_EQ(MessageBoxes::shown()[1].kind, MessageBoxes::Kind::Information);
    EXPECT_EQ(MessageBoxes::shown()[1].owner, form);
    ASSERT_EQ(locksAtBox.size(), 2u);
    ExpectLocked(locksAtBox[0]);
    ExpectUnlocked(locksAtBox[1]);
    EXPECT_EQ(barAtBox[1], 100);
    EXPECT_EQ(freeAtQuestion, std::vector<bool>(9, true));

    // 0 after the first folder is no change; then 33, 66, 100 and back to 0.
    EXPECT_EQ(watch.values, (std::vector<int>{33, 66, 100, 0}));
    ASSERT_EQ(watch.locks.size(), 4u);
    for (size_t i = 0; i < 3; ++i) ExpectLocked(watch.locks[i]);
    ExpectUnlocked(watch.locks[3]);

    EXPECT_EQ(ReadFile(out + "/游记/西游记/a.txt"), "new a");  // answered Yes
    EXPECT_EQ(ReadFile(out + "/游记/西游记/sub/b.txt"), "new b");
    EXPECT_EQ(ReadFile(out + "/游记/东游记/c.txt"), "new c");  // overwritten without asking
    EXPECT_FALSE(IsDir(out + "/红楼梦"));
    EXPECT_EQ(Names(out), Entries{"游记"});
    // Copied, never moved.
    EXPECT_EQ(ReadFile(src + "/西游记/a.txt"), "new a");
    EXPECT_EQ(ReadFile(src + "/东游记/c.txt"), "new c");
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(out + "/"));
    EXPECT_TRUE(entries().empty());  // the user's clearing stands
    ExpectUnlocked(Locks());
    EXPECT_EQ(W<QProgressBar>("ProgressBar1")->value(), 0);
    // The files of the trees, by outcome; cleared during the run, the list's
    // length gives way to them.
    EXPECT_EQ(W<QLabel>("LblStatus")->text(),
              QStringLiteral("分拣完成：已放置 1 个，跳过 0 个，改名 0 个，覆盖 2 个，失败 0 个"));
}

TEST_F(FolderRunTest, NameRunWithRangeGroupsFoldersByTheirFirstCharacter) {
    for (const char* name : {"A1", "A2", "B1"}) {
        WriteFile(src + "/" + name + "/f.txt", name);
        AddFolder(src + "/" + name);
    }
    W<QTabWidget>("PageControl1")->setCurrentIndex(1);
    W<QLineEdit>("EdtOutDir")->setText(Q(out + "/"));
    W<QCheckBox>("ChkFileNamePart")->setChecked(true);
    W<QLineEdit>("EdtPartNameBegin")->setText("1");
    W<QLineEdit>("EdtPartNameEnd")->setText("1");
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("分拣工作完成！")});
    EXPECT_EQ(ReadFile(out + "/A/A1/f.txt"), "A1");
    EXPECT_EQ(ReadFile(out + "/A/A2/f.txt"), "A2");
    EXPECT_EQ(ReadFile(out + "/B/B1/f.txt"), "B1");
}

TEST_F(FolderRunTest, ChecksRefuseBeforeAnythingIsLocked) {
    W<QLineEdit>("EdtOutDir")->setText(Q(out));
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("没有需要分拣的文件夹（目录）!")});
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(out));

    MakeDir(src + "/西游记");
    AddFolder(src + "/西游记");
    MessageBoxes::clearShown();
    W<QLineEdit>("EdtOutDir")->setText("  ");
    StartRunAndWait(*form);  // blank output folder: the chooser opens
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("请选择分拣结果输出目录！")});
    EXPECT_EQ(FilePickers::requests().back().title, QStringLiteral("请选择文件夹"));

    form->show();
    MessageBoxes::clearShown();
    W<QTabWidget>("PageControl1")->setCurrentIndex(0);
    W<QLineEdit>("EdtOutDir")->setText(Q(out));
    W<QLineEdit>("EdtKeys")->setText(" ");
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("请输入匹配关键字!")});
    EXPECT_EQ(form->focusWidget(), W<QLineEdit>("EdtKeys"));
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(out + "/"));
    ExpectUnlocked(Locks());
    EXPECT_TRUE(Names(out).empty());
}

TEST_F(FolderRunTest, HiddenDatePageCopiesNothingButCompletes) {
    MakeDir(src + "/西游记");
    AddFolder(src + "/西游记");
    W<QTabWidget>("PageControl1")->setCurrentIndex(2);
    ASSERT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 2);
    W<QLineEdit>("EdtOutDir")->setText(Q(out + "/"));
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("分拣工作完成！")});
    EXPECT_TRUE(Names(out).empty());
}

TEST_F(FolderWindowTest, StoredChoicesAreReadAtCreation) {
    MakeDir(m_dir / "stored");
    WriteFile(Ini(),
              "[Parameter2]\n"
              "Filter=1*2\n"
              "SameFile=4\n"
              "OutDir=" +
                  m_dir / "stored/" +
                  "\n"
                  "Page=0\n"
                  "EdtKeys=游记 A\n"
                  "DTDate=2021-12-31\n"
                  "DTTime=13:14:15\n"
                  "CmbFileDate=1\n"
                  "[Parameter]\n"
                  "Page=4\n"
                  "EdtKeys=file window\n");
    Open();
    EXPECT_EQ(W<QLineEdit>("EdtFilter")->text(), "1*2");
    EXPECT_TRUE(W<QRadioButton>("RbEditFileTime")->isChecked());
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(m_dir / "stored/"));
    EXPECT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_EQ(W<QLineEdit>("EdtKeys")->text(), QStringLiteral("游记 A"));
    EXPECT_EQ(W<QDateEdit>("DtDate")->date(), QDate(2021, 12, 31));
    EXPECT_EQ(W<QTimeEdit>("DtTime")->time(), QTime(13, 14, 15));
    EXPECT_EQ(W<QComboBox>("CmbFileDate")->currentIndex(), 1);
    // Each window reads its own section.
    EXPECT_EQ(Find<QTabWidget>(&m_windows->fileWindow(), "PageControl1")->currentIndex(), 4);
    EXPECT_EQ(Find<QLineEdit>(&m_windows->fileWindow(), "EdtKeys")->text(), "file window");
}

TEST_F(FolderWindowTest, FirstStartAndStoredValuesOutOfRange) {
    Open();
    EXPECT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_TRUE(W<QRadioButton>("RbSkip")->isChecked());
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(m_dir / "prog/"));
    EXPECT_EQ(W<QComboBox>("CmbFileDate")->currentIndex(), 0);
    m_windows.reset();

    // Three pages: 3 leaves the design page; an unknown answer selects 跳过;
    // an unreadable date keeps the design date; a folder that is gone gives
    // way to the first start's.
    WriteFile(Ini(),
              "[Parameter2]\nPage=3\nSameFile=7\nOutDir=/no/such/folder/\nDTDate=31.12.2021\n"
              "CmbFileDate=5\n");
    Open();
    EXPECT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 1);
    EXPECT_TRUE(W<QRadioButton>("RbSkip")->isChecked());
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(m_dir / "prog/"));
    EXPECT_EQ(W<QDateEdit>("DtDate")->date(), QDate(2013, 5, 6));
    EXPECT_EQ(W<QComboBox>("CmbFileDate")->currentIndex(), -1);
    m_windows.reset();

    // The hidden page is chosen only by the settings.
    WriteFile(Ini(), "[Parameter2]\nPage=2\n");
    Open();
    EXPECT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 2);
    EXPECT_EQ(form->ReadOptions().page, SortPage::FileType);
}

}  // namespace
}  // namespace zanfeld::test
