// The file sorting window: pages, option boxes, small handlers and the
// window's side of the SortHost.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>
#include <algorithm>
#include <iterator>
#include <memory>
#include <tuple>

#include "AppWindows.h"
#include "StarCaption.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"

namespace zanfeld::test {
namespace {

const char* const kCaptions[] = {
    " 按文件名匹配关键字分拣 ", " 按文件名分拣", " 按文件类型分拣", " 按文件大小分拣",
    " 按文件日期属性分拣",      " 图像文件分拣", " 拍摄日期"};

class FileWindowTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_windows = std::make_unique<AppWindows>(m_dir / "Zanfeld.ini", m_dir.path());
        form = &m_windows->fileWindow();
    }
    void TearDown() override {
        m_windows.reset();
        UiTest::TearDown();
    }

    template <typename T>
    T* W(const char* name) {
        return Find<T>(form, name);
    }

    TempDir m_dir;
    std::unique_ptr<AppWindows> m_windows;
    TForm1* form = nullptr;
};

TEST_F(FileWindowTest, EveryPageSetsTheOptionLineAndShowsExactlyOneOptionBox) {
    auto* pages = W<QTabWidget>("PageControl1");
    auto* line = W<QLabel>("lblOption");
    auto* typeBox = W<QWidget>("PnlOption");
    auto* pictureBox = W<QWidget>("PnlOption2");
    auto* takenBox = W<QWidget>("PnlOption3");
    W<QCheckBox>("ChkInclude")->click();
    W<QListWidget>("ListBox2")->addItem("*.txt");

    ASSERT_EQ(pages->count(), 7);
    for (int page : {5, 0, 6, 1, 2, 3, 4, 5, 6, 2}) {
        pages->setCurrentIndex(page);
        EXPECT_EQ(pages->tabText(page), QString::fromUtf8(kCaptions[page]));
        EXPECT_EQ(line->text(), QStringLiteral("分拣方式：") + QString::fromUtf8(kCaptions[page]));
        EXPECT_EQ(typeBox->isVisible(), page < 5) << page;
        EXPECT_EQ(pictureBox->isVisible(), page == 5) << page;
        EXPECT_EQ(takenBox->isVisible(), page == 6) << page;
    }
    EXPECT_EQ(line->text(), QStringLiteral("分拣方式： 按文件类型分拣"));
    // Hiding a box neither clears nor disables it.
    EXPECT_TRUE(W<QCheckBox>("ChkInclude")->isChecked());
    EXPECT_EQ(W<QListWidget>("ListBox2")->count(), 1);
    EXPECT_TRUE(typeBox->isEnabled());
    EXPECT_TRUE(pictureBox->isEnabled());
    EXPECT_TRUE(takenBox->isEnabled());
}

TEST_F(FileWindowTest, PagesCarryTheirHeadingsAndControls) {
    auto* pages = W<QTabWidget>("PageControl1");
    auto labelsOf = [&](int page) { return LabelTexts(pages->widget(page)); };
    EXPECT_TRUE(labelsOf(0).contains(QStringLiteral("     按文件名匹配关键字分拣  ")));
    EXPECT_TRUE(labelsOf(0).contains(
        QStringLiteral("请输入关键字（多个关键字以空格分隔）：               ")));
    EXPECT_TRUE(labelsOf(1).contains(QStringLiteral("     按文件名称分拣 ")));
    EXPECT_TRUE(labelsOf(2).contains(QStringLiteral("     按文件类型分拣 ")));
    EXPECT_TRUE(labelsOf(3).contains(QStringLiteral("     按文件大小分拣")));
    EXPECT_TRUE(labelsOf(3).contains(QStringLiteral("分拣出满足条件的文件：")));
    EXPECT_TRUE(labelsOf(5).contains(QStringLiteral("     按宽或高进行图像文件分拣")));
    EXPECT_TRUE(labelsOf(5).contains(QStringLiteral("像素")));

    EXPECT_EQ(Find<StarCaption>(pages->widget(1), "ImgFilter")->text(),
              QStringLiteral("判断文件名时过滤以下字符（多个字符以 * （星号）分隔）："));
    EXPECT_EQ(Find<QCheckBox>(pages->widget(1), "ChkFileNamePart")->text(),
              QStringLiteral("只按文件名部分进行分拣，从："));
    EXPECT_EQ(Find<QCheckBox>(pages->widget(1), "ChkOnlyMatchDir")->text(),
              QStringLiteral("只分拣与输出文件夹下已存在目录的相匹配的文件项"));

    auto items = [](QComboBox* box) {
        QStringList list;
        for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
        return list;
    };
    auto* condition = Find<QComboBox>(pages->widget(3), "CmbCondition");
    EXPECT_EQ(items(condition), QStringList({"大于", "小于"}));
    EXPECT_EQ(items(Find<QComboBox>(pages->widget(3), "CmbUnit")), QStringList({"KB", "MB"}));
    EXPECT_EQ(items(Find<QComboBox>(pages->widget(4), "CmbFileDate")),
              QStringList({"早于", "晚于"}));
    EXPECT_EQ(items(Find<QComboBox>(pages->widget(5), "CmbPic")),
              QStringList({"大于等于", "小于等于", "等于"}));
    for (const char* name : {"CmbCondition", "CmbUnit", "CmbFileDate", "CmbPic"}) {
        EXPECT_FALSE(W<QComboBox>(name)->isEditable()) << name;
    }
    EXPECT_TRUE(Find<QRadioButton>(pages->widget(4), "RbCreateTime")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(pages->widget(4), "RbModifyTime")->isChecked());
    EXPECT_EQ(W<QDateEdit>("DtDate")->date(), QDate(2013, 5, 6));
    EXPECT_EQ(W<QTimeEdit>("DtTime")->time(), QTime(0, 0, 0));
    EXPECT_TRUE(Find<QRadioButton>(pages->widget(5), "RbPicW")->isChecked());
    EXPECT_EQ(Find<QRadioButton>(pages->widget(5), "RbPicH")->text(), QStringLiteral("图片高："));
}

TEST_F(FileWindowTest, WindowHasItsCaptionsDefaultsAndAreaOrder) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Zanfeld"));
    EXPECT_NEAR(form->width(), 838, 40);
    EXPECT_NEAR(form->height(), 648, 40);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);

    const std::pair<const char*, const char*> buttons[] = {{"Button1", "添加文件"},
                                                           {"Button5", "添加目录下文件"},
                                                           {"Button2", "移除文件"},
                                                           {"Button6", "清空列表"},
                                                           {"BtnSaveFileList", "导出列表"},
                                                           {"BtnImpFileList", "导入列表"},
                                                           {"BtnAddSuffix", "添加"},
                                                           {"BtnDelSuffix", "删除"},
                                                           {"Button3", "选择"},
                                                           {"BtnCopy", "开始处理(&S)"},
                                                           {"BtnPreview", "预览(&P)"},
                                                           {"BtnStop", "停止(&T)"},
                                                           {"BtnUndo", "撤销上次分拣(&U)"},
                                                           {"BtnHistory", "分拣记录(&H)"},
                                                           {"BtnAout", "关于(&A)"}};
    for (const auto& [name, text] : buttons) {
        EXPECT_EQ(W<QPushButton>(name)->text(), QString::fromUtf8(text)) << name;
    }
    EXPECT_FALSE(W<QPushButton>("BtnAddSuffix")->isEnabled());
    EXPECT_FALSE(W<QPushButton>("BtnDelSuffix")->isEnabled());
    EXPECT_FALSE(W<QPushButton>("BtnStop")->isEnabled());
    EXPECT_EQ(W<QLabel>("LblStatus")->text(), QStringLiteral("列表中共有 0 个文件"));

    EXPECT_EQ(W<QGroupBox>("GroupBox1")->title(), QStringLiteral("要分拣的文件"));
    EXPECT_EQ(W<QGroupBox>("GroupBox5")->title(), QStringLiteral("分拣选项"));
    EXPECT_EQ(W<QLabel>("Label9")->text(), QStringLiteral("图片文件类型包括："));
    EXPECT_EQ(W<QCheckBox>("ChkInclude")->text(), QStringLiteral("只分拣这些类型文件："));
    EXPECT_EQ(W<QCheckBox>("ChkExclude")->text(), QStringLiteral("不分拣这些类型文件："));

    ExpectSharedResultControls(*form);
    EXPECT_EQ(W<QRadioButton>("RbMove")->text(),
              QStringLiteral("移动式分拣(将文件从原目录移动到结果目录)"));
    EXPECT_TRUE(W<QRadioButton>("RbCopy")->isChecked());
    EXPECT_EQ(W<QRadioButton>("RbCopy")->text(),
              QStringLiteral("复制式分拣(将文件复制到结果目录)"));

    auto* bar = W<QProgressBar>("ProgressBar1");
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 0);

    auto* pictures = W<QListWidget>("ChkLstPic");
    const QStringList types = {"*.JPG;*.JPEG", "*.BMP", "*.GIF", "*.PNG", "*.TIF"};
    ASSERT_EQ(pictures->count(), types.size());
    for (int i = 0; i < pictures->count(); ++i) {
        EXPECT_EQ(pictures->item(i)->text(), types[i]);
        EXPECT_EQ(pictures->item(i)->checkState(), Qt::Checked);
    }
    EXPECT_EQ(W<QListView>("ListBox1")->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_TRUE(W<QListView>("ListBox1")->uniformItemSizes());

    // The areas from top to bottom.
    int lastY = -1;
    for (const char* area :
         {"GroupBox1", "PageControl1", "GroupBox5", "GroupBox3", "Panel2", "Panel1"}) {
        const int y = W<QWidget>(area)->mapTo(form, QPoint(0, 0)).y();
        EXPECT_GT(y, lastY) << area;
        lastY = y;
    }
}

TEST_F(FileWindowTest, TheListTakesAddedHeightAndEveryTabReadsAtTheSmallestWidth) {
    ExpectListGrowsAndTabsStayReadable(*form);
}

TEST_F(FileWindowTest, IncludeAndExcludeAreExclusiveAndEnableTheTypeButtons) {
    auto* include = W<QCheckBox>("ChkInclude");
    auto* exclude = W<QCheckBox>("ChkExclude");
    auto* add = W<QPushButton>("BtnAddSuffix");
    auto* del = W<QPushButton>("BtnDelSuffix");
    auto* types = W<QListWidget>("ListBox2");
    types->addItem("*.txt");

    QTest::mouseClick(include, Qt::LeftButton);
    EXPECT_TRUE(include->isChecked());
    EXPECT_TRUE(add->isEnabled());
    EXPECT_TRUE(del->isEnabled());

    QTest::mouseClick(exclude, Qt::LeftButton);
    EXPECT_TRUE(exclude->isChecked());
    EXPECT_FALSE(include->isChecked());
    EXPECT_TRUE(add->isEnabled());

    QTest::mouseClick(include, Qt::LeftButton);
    EXPECT_TRUE(include->isChecked());
    EXPECT_FALSE(exclude->isChecked());

    QTest::mouseClick(include, Qt::LeftButton);  // the only checked box goes off
    EXPECT_FALSE(include->isChecked());
    EXPECT_FALSE(exclude->isChecked());
    EXPECT_FALSE(add->isEnabled());
    EXPECT_FALSE(del->isEnabled());
    EXPECT_TRUE(types->isEnabled());
    EXPECT_EQ(types->count(), 1);
}

TEST_F(FileWindowTest, DeleteTypeRemovesOnlyTheSelectedRow) {
    auto* types = W<QListWidget>("ListBox2");
    types->addItems({"*.txt", "*.doc", "*.xls"});
    W<QCheckBox>("ChkExclude")->click();
    auto* del = W<QPushButton>("BtnDelSuffix");

    types->clearSelection();
    types->setCurrentRow(-1);
    del->click();
    EXPECT_EQ(types->count(), 3);

    types->setCurrentRow(1);
    del->click();
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->item(0)->text(), "*.txt");
    EXPECT_EQ(types->item(1)->text(), "*.xls");
}

TEST_F(FileWindowTest, NamePartRangeFillsFocusesAndClears) {
    auto* part = W<QCheckBox>("ChkFileNamePart");
    auto* begin = W<QLineEdit>("EdtPartNameBegin");
    auto* end = W<QLineEdit>("EdtPartNameEnd");
    W<QTabWidget>("PageControl1")->setCurrentIndex(1);

    part->click();
    EXPECT_EQ(begin->text(), "1");
    EXPECT_EQ(end->text(), "");
    EXPECT_EQ(form->focusWidget(), end);

    end->setText("4");
    part->click();
    EXPECT_EQ(begin->text(), "");
    EXPECT_EQ(end->text(), "");

    end->setText("5");  // only the end is filled: the focus goes to the beginning
    W<QLineEdit>("EdtKeys")->setFocus();
    part->click();
    EXPECT_EQ(begin->text(), "");
    EXPECT_EQ(end->text(), "5");
    EXPECT_EQ(form->focusWidget(), begin);

    part->click();
    begin->setText("3");  // only the beginning is filled: the focus goes to the end
    W<QLineEdit>("EdtKeys")->setFocus();
    part->click();
    EXPECT_EQ(begin->text(), "3");
    EXPECT_EQ(form->focusWidget(), end);

    part->click();
    begin->setText("2");
    end->setText("6");  // both filled: nothing moves
    W<QLineEdit>("EdtKeys")->setFocus();
    part->click();
    EXPECT_EQ(form->focusWidget(), W<QLineEdit>("EdtKeys"));
    EXPECT_EQ(begin->text(), "2");
    EXPECT_EQ(end->text(), "6");
}

TEST_F(FileWindowTest, KeyFiltersDiscardOtherTypedCharacters) {
    auto* pages = W<QTabWidget>("PageControl1");
    pages->setCurrentIndex(3);
    auto* size = W<QLineEdit>("EdtSize");
    TypeInto(size, "1a2-.5 x");
    EXPECT_EQ(size->text(), "12.5");
    QTest::keyClick(size, Qt::Key_Backspace);
    EXPECT_EQ(size->text(), "12.");
    EXPECT_FALSE(TakesInputMethod(size));

    pages->setCurrentIndex(5);
    auto* pic = W<QLineEdit>("EdtPic");
    TypeInto(pic, "8.0a0-");
    EXPECT_EQ(pic->text(), "800");
    QTest::keyClick(pic, Qt::Key_Backspace);
    EXPECT_EQ(pic->text(), "80");
    EXPECT_FALSE(TakesInputMethod(pic));

    pages->setCurrentIndex(1);
    for (const char* name : {"EdtPartNameBegin", "EdtPartNameEnd"}) {
        auto* box = W<QLineEdit>(name);
        TypeInto(box, "x1.2 -3");
        EXPECT_EQ(box->text(), "123") << name;
        EXPECT_FALSE(TakesInputMethod(box)) << name;
    }
    // Other boxes take any text.
    auto* filter = W<QLineEdit>("EdtFilter");
    TypeInto(filter, "a-b.c");
    EXPECT_EQ(filter->text(), "a-b.c");
}

// Ctrl+A selects all in the number boxes, so the digits typed next replace
// it; a letter typed with Ctrl+Alt (AltGr on some keyboards) stays out.
TEST_F(FileWindowTest, CtrlASelectsAllInTheNumberBoxes) {
    const std::pair<const char*, int> boxes[] = {
        {"EdtSize", 3}, {"EdtPic", 5}, {"EdtPartNameBegin", 1}, {"EdtPartNameEnd", 1}};
    for (const auto& [name, page] : boxes) {
        W<QTabWidget>("PageControl1")->setCurrentIndex(page);
        auto* box = W<QLineEdit>(name);
        box->setText("40");
        TypeInto(box, "");
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, "50");
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_EQ(box->text(), "50") << name;
    }
}

TEST_F(FileWindowTest, OutputFolderButtonAppendsSeparatorAndKeepsTextOnCancel) {
    auto* out = W<QLineEdit>("EdtOutDir");
    auto* choose = W<QPushButton>("Button3");
    out->setText("/keep/");

    choose->click();  // cancelled
    EXPECT_EQ(out->text(), "/keep/");
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(FilePickers::requests()[0].kind, FilePickers::Kind::Folder);
    EXPECT_EQ(FilePickers::requests()[0].title, QStringLiteral("请选择文件夹"));

    FilePickers::queueAnswer({Q(m_dir.path())});
    choose->click();
    EXPECT_EQ(out->text(), Q(m_dir.path() + "/"));

    FilePickers::queueAnswer({"/"});  // the root keeps its single separator
    choose->click();
    EXPECT_EQ(out->text(), "/");
}

TEST_F(FileWindowTest, OptionsFollowTheControls) {
    W<QTabWidget>("PageControl1")->setCurrentIndex(3);
    W<QLineEdit>("EdtOutDir")->setText("/out");
    W<QRadioButton>("RbMove")->setChecked(true);
    W<QRadioButton>("RbEditFileTime")->setChecked(true);
    W<QCheckBox>("ChkInclude")->setChecked(true);
    W<QCheckBox>("ChkExclude")->setChecked(true);  // the window keeps only this one
    W<QListWidget>("ListBox2")->addItems({"*.txt", "*.doc"});
    W<QListWidget>("ChkLstPic")->item(1)->setCheckState(Qt::Unchecked);
    W<QLineEdit>("EdtKeys")->setText(" 游记 西");
    W<QLineEdit>("EdtSize")->setText("100");
    W<QComboBox>("CmbCondition")->setCurrentIndex(1);
    W<QComboBox>("CmbUnit")->setCurrentIndex(-1);
    W<QRadioButton>("RbModifyTime")->setChecked(true);
    W<QComboBox>("CmbFileDate")->setCurrentIndex(1);
    W<QDateEdit>("DtDate")->setDate(QDate(2020, 2, 29));
    W<QTimeEdit>("DtTime")->setTime(QTime(13, 14, 15));
    W<QRadioButton>("RbPicH")->setChecked(true);
    W<QComboBox>("CmbPic")->setCurrentIndex(-1);
    W<QLineEdit>("EdtPic")->setText("800");

    const SortOptions o = form->ReadOptions();
    EXPECT_EQ(o.page, SortPage::FileSize);
    EXPECT_EQ(o.outputDir, "/out");
    EXPECT_EQ(o.transferMode, TransferMode::Move);
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::EditFileTime);
    EXPECT_EQ(o.typeFilter, TypeFilterMode::Exclude);
    EXPECT_EQ(o.typePatterns, (std::vector<std::string>{"*.txt", "*.doc"}));
    EXPECT_EQ(o.picturePatterns,
              (std::vector<std::string>{"*.JPG;*.JPEG", "*.GIF", "*.PNG", "*.TIF"}));
    EXPECT_EQ(o.keywordText, " 游记 西");
    EXPECT_EQ(o.sizeText, "100");
    EXPECT_EQ(o.sizeCondition, SizeCondition::Less);
    EXPECT_FALSE(o.sizeUnit.has_value());
    EXPECT_EQ(o.dateSource, DateSource::Modified);
    EXPECT_EQ(o.dateCondition, DateCondition::Later);
    EXPECT_EQ(o.thresholdDate.year, 2020);
    EXPECT_EQ(o.thresholdDate.month, 2);
    EXPECT_EQ(o.thresholdDate.day, 29);
    EXPECT_EQ(o.thresholdTime.hour, 13);
    EXPECT_EQ(o.thresholdTime.minute, 14);
    EXPECT_EQ(o.thresholdTime.second, 15);
    EXPECT_EQ(o.picDimension, PicDimension::Height);
    EXPECT_FALSE(o.picCondition.has_value());
    EXPECT_EQ(o.picText, "800");
}

// The taken-date page starts as the rule's defaults; every state of its
// controls is read into the options and the settings, kept in the settings
// file and shown again from either, the example and the caption following.
TEST_F(FileWindowTest, TakenDatePageRoundTripsThroughOptionsAndSettings) {
    auto* pages = W<QTabWidget>("PageControl1");
    auto* group = W<QComboBox>("CmbTakenGroup");
    auto* types = W<QListWidget>("LstTakenTypes");
    auto* sources = W<QLabel>("LblTakenSources");
    EXPECT_EQ(group->currentIndex(), 1);
    EXPECT_EQ(sources->text(), QStringLiteral("日期依次取自：照片或视频记录的拍摄时间、文件名中的"
                                              "日期；都没有时放入“未知日期”文件夹。"));
    EXPECT_EQ(types->item(0)->text(), "JPG");
    const std::vector<std::string> all(std::begin(kTakenTypes), std::end(kTakenTypes));
    EXPECT_EQ(form->ReadOptions().takenPatterns, all);

    const std::string ini = m_dir / "taken.ini";
    const std::tuple<int, bool, bool, const char*> rows[] = {
        {0, true, false, "2024"}, {1, false, true, "2024/05"}, {3, true, true, "2024-05-06"}};
    for (const auto& [index, modified, skip, folder] : rows) {
        SCOPED_TRACE(folder);
        pages->setCurrentIndex(6);
        group->setCurrentIndex(index);
        W<QCheckBox>("ChkTakenModified")->setChecked(modified);
        W<QCheckBox>("ChkTakenSkip")->setChecked(skip);
        types->item(index)->setCheckState(Qt::Unchecked);
        EXPECT_EQ(W<QLabel>("LblTakenExample")->text(),
                  QStringLiteral("例：2024-05-06 拍摄的文件放入 ") + QString::fromUtf8(folder));
        EXPECT_EQ(sources->text().contains(QStringLiteral("、修改时间；")), modified);
        EXPECT_EQ(sources->text().endsWith(QStringLiteral("都没有时留在原处。")), skip);

        const SortOptions shown = form->ReadOptions();
        EXPECT_EQ(shown.page, SortPage::TakenDate);
        EXPECT_EQ(shown.takenGroup, static_cast<TakenGroup>(index));
        EXPECT_EQ(std::tie(shown.takenFromModified, shown.takenSkipUnknown),
                  std::tie(modified, skip));
        EXPECT_EQ(std::count(shown.takenPatterns.begin(), shown.takenPatterns.end(), all[index]),
                  0);
        ASSERT_EQ(SaveFileWindowSettings(ini, form->ReadSettings()), "");

        // Everything changed; the settings file brings the page back, the
        // options its type list too.
        SortOptions other;
        other.takenGroup = index == 0 ? TakenGroup::Day : TakenGroup::Year;
        other.takenFromModified = !modified;
        other.takenSkipUnknown = !skip;
        other.takenPatterns = {"*.MOV"};
        form->ApplyOptions(other);
        form->ApplySettings(LoadFileWindowSettings(ini, ""));
        SortOptions back = form->ReadOptions();
        EXPECT_EQ(std::tie(back.page, back.takenGroup, back.takenFromModified,
                           back.takenSkipUnknown, back.takenPatterns),
                  std::tie(shown.page, shown.takenGroup, shown.takenFromModified,
                           shown.takenSkipUnknown, other.takenPatterns));
        form->ApplyOptions(shown);
        EXPECT_EQ(form->ReadOptions().takenPatterns, shown.takenPatterns);
    }

    // A plan's choices the page has no control for are kept and told; a type
    // the list lacks joins it, checked.
    SortOptions plan;
    plan.takenFromName = false;
    plan.takenUnknownFolder = "无日期";
    plan.takenPatterns = {"*.jpg", "*.AVI"};
    form->ApplyOptions(plan);
    const SortOptions back = form->ReadOptions();
    EXPECT_FALSE(back.takenFromName);
    EXPECT_EQ(back.takenUnknownFolder, "无日期");
    EXPECT_EQ(back.takenPatterns, (std::vector<std::string>{"*.JPG", "*.AVI"}));
    EXPECT_EQ(sources->text(), QStringLiteral("日期依次取自：照片或视频记录的拍摄时间；"
                                              "都没有时放入“无日期”文件夹。"));
}

TEST_F(FileWindowTest, HostShowsBoxesAndFocusesTheRejectedControl) {
    form->showInfo("没有需要分拣的文件!");
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Information);
    EXPECT_EQ(MessageBoxes::shown()[0].caption, "Zanfeld");
    EXPECT_EQ(MessageBoxes::shown()[0].text, QStringLiteral("没有需要分拣的文件!"));

    const std::pair<OptionId, const char*> controls[] = {{OptionId::Keywords, "EdtKeys"},
                                                         {OptionId::PartBegin, "EdtPartNameBegin"},
                                                         {OptionId::PartEnd, "EdtPartNameEnd"},
                                                         {OptionId::Size, "EdtSize"},
                                                         {OptionId::PicValue, "EdtPic"}};
    const int pages[] = {0, 1, 1, 3, 5};
    for (int i = 0; i < 5; ++i) {
        W<QTabWidget>("PageControl1")->setCurrentIndex(pages[i]);
        W<QPushButton>("BtnCopy")->setFocus();
        form->rejectOption("请输入匹配关键字!", controls[i].first);
        EXPECT_EQ(form->focusWidget(), W<QWidget>(controls[i].second)) << controls[i].second;
    }
    EXPECT_EQ(MessageBoxes::shown().size(), 6u);
    EXPECT_TRUE(FilePickers::requests().empty());

    // The output folder is asked for with the chooser instead.
    FilePickers::queueAnswer({Q(m_dir.path())});
    form->rejectOption("请选择分拣结果输出目录！", OptionId::OutputDir);
    EXPECT_EQ(MessageBoxes::shown().back().text, QStringLiteral("请选择分拣结果输出目录！"));
    ASSERT_EQ(FilePickers::requests().size(), 1u);
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(m_dir.path() + "/"));

    form->setOutputDir("/elsewhere/");
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), "/elsewhere/");

    MessageBoxes::queueAnswer(true);
    EXPECT_TRUE(form->askOverwrite("/out/abc/a.txt"));
    EXPECT_FALSE(form->askOverwrite("/out/abc/b.txt"));  // no answer queued: No
    EXPECT_EQ(MessageBoxes::shown().back().kind, MessageBoxes::Kind::Question);
    EXPECT_EQ(MessageBoxes::shown().back().caption, "Zanfeld");
    EXPECT_EQ(MessageBoxes::shown().back().text,
              QStringLiteral("文件/out/abc/b.txt已存在，是否覆盖？"));
}

TEST_F(FileWindowTest, BusyLocksOnlyTheStartPagesAndOutputFolder) {
    form->setBusy(true);
    EXPECT_FALSE(W<QPushButton>("BtnCopy")->isEnabled());
    EXPECT_FALSE(W<QTabWidget>("PageControl1")->isEnabled());
    EXPECT_FALSE(W<QPushButton>("Button3")->isEnabled());
    EXPECT_TRUE(W<QLineEdit>("EdtOutDir")->isReadOnly());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    for (const char* name : {"Button1", "Button5", "Button2", "Button6", "BtnSaveFileList",
                             "BtnImpFileList", "BtnAout", "RbMove", "RbCopy", "RbAsk", "ChkInclude",
                             "ChkLstPic", "ListBox1", "ListBox2"}) {
        EXPECT_TRUE(W<QWidget>(name)->isEnabled()) << name;
    }

    form->setBusy(false);
    EXPECT_TRUE(W<QPushButton>("BtnCopy")->isEnabled());
    EXPECT_TRUE(W<QTabWidget>("PageControl1")->isEnabled());
    EXPECT_TRUE(W<QPushButton>("Button3")->isEnabled());
    EXPECT_FALSE(W<QLineEdit>("EdtOutDir")->isReadOnly());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FileWindowTest, LiveOptionsAreRereadFromTheControls) {
    SortOptions o = form->ReadOptions();
    EXPECT_EQ(o.transferMode, TransferMode::Copy);
    o.keywordText = "kept";

    W<QRadioButton>("RbMove")->setChecked(true);
    W<QRadioButton>("RbAsk")->setChecked(true);
    W<QCheckBox>("ChkInclude")->setChecked(true);
    W<QListWidget>("ListBox2")->addItem("*.doc");
    W<QListWidget>("ChkLstPic")->item(0)->setCheckState(Qt::Unchecked);
    W<QLineEdit>("EdtKeys")->setText("changed");
    form->refreshLiveOptions(o);

    EXPECT_EQ(o.transferMode, TransferMode::Move);
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::Ask);
    EXPECT_EQ(o.typeFilter, TypeFilterMode::Include);
    EXPECT_EQ(o.typePatterns, std::vector<std::string>{"*.doc"});
    EXPECT_EQ(o.picturePatterns.size(), 4u);
    EXPECT_EQ(o.keywordText, "kept");
}

TEST_F(FileWindowTest, ProgressSetsTheBarOnlyWhenItChanges) {
    auto* bar = W<QProgressBar>("ProgressBar1");
    int changes = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&changes] { ++changes; });
    form->setProgress(0);
    form->setProgress(40);
    form->setProgress(40);
    form->setProgress(100);
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace zanfeld::test
