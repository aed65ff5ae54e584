// Saved plans in the two sorting windows: saved from the controls, chosen
// back into them, kept apart by window, refused or replaced by name, and kept
// when the windows save their own settings.

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <memory>

#include "AppWindows.h"
#include "NativeText.h"
#include "SortPlans.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

// Every field a window's controls carry.
void ExpectSameOptions(const SortOptions& a, const SortOptions& b) {
    EXPECT_EQ(a.page, b.page);
    EXPECT_EQ(a.outputDir, b.outputDir);
    EXPECT_EQ(a.transferMode, b.transferMode);
    EXPECT_EQ(a.sameFilePolicy, b.sameFilePolicy);
    EXPECT_EQ(a.typeFilter, b.typeFilter);
    EXPECT_EQ(a.typePatterns, b.typePatterns);
    EXPECT_EQ(a.picturePatterns, b.picturePatterns);
    EXPECT_EQ(a.keywordText, b.keywordText);
    EXPECT_EQ(a.useNamePart, b.useNamePart);
    EXPECT_EQ(a.partBeginText, b.partBeginText);
    EXPECT_EQ(a.partEndText, b.partEndText);
    EXPECT_EQ(a.nameFilter, b.nameFilter);
    EXPECT_EQ(a.onlyMatchDir, b.onlyMatchDir);
    EXPECT_EQ(a.sizeText, b.sizeText);
    EXPECT_EQ(a.sizeCondition, b.sizeCondition);
    EXPECT_EQ(a.sizeUnit, b.sizeUnit);
    EXPECT_EQ(a.dateSource, b.dateSource);
    EXPECT_EQ(a.dateCondition, b.dateCondition);
    EXPECT_EQ(std::tie(a.thresholdDate.year, a.thresholdDate.month, a.thresholdDate.day),
              std::tie(b.thresholdDate.year, b.thresholdDate.month, b.thresholdDate.day));
    EXPECT_EQ(std::tie(a.thresholdTime.hour, a.thresholdTime.minute, a.thresholdTime.second),
              std::tie(b.thresholdTime.hour, b.thresholdTime.minute, b.thresholdTime.second));
    EXPECT_EQ(a.picDimension, b.picDimension);
    EXPECT_EQ(a.picCondition, b.picCondition);
    EXPECT_EQ(a.picText, b.picText);
    EXPECT_EQ(a.takenGroup, b.takenGroup);
    EXPECT_EQ(a.takenFromName, b.takenFromName);
    EXPECT_EQ(a.takenFromModified, b.takenFromModified);
    EXPECT_EQ(a.takenSkipUnknown, b.takenSkipUnknown);
    EXPECT_EQ(a.takenUnknownFolder, b.takenUnknownFolder);
    EXPECT_EQ(a.takenPatterns, b.takenPatterns);
}

class SortPlanWindowTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_windows = std::make_unique<AppWindows>(m_ini, m_dir.path());
        files = &m_windows->fileWindow();
        folders = &m_windows->folderWindow();
    }
    void TearDown() override {
        m_windows.reset();
        UiTest::TearDown();
    }

    // Presses "保存方案…" and types name into the box it opens; the name the
    // box offered is kept in offered.
    void SavePlanAs(SortWindow& window, const QString& name) {
        ModalDialogs::setScript([&](QDialog& dialog) {
            auto& input = dynamic_cast<QInputDialog&>(dialog);
            offered = input.textValue();
            input.setTextValue(name);
            return static_cast<int>(QDialog::Accepted);
        });
        Find<QPushButton>(&window, "BtnSavePlan")->click();
        ModalDialogs::setScript({});
    }
    // Picks the plan from the list as a person does.
    static void ChoosePlan(SortWindow& window, const QString& name) {
        auto* box = Find<QComboBox>(&window, "CmbPlan");
        const int index = box->findText(name);
        ASSERT_GE(index, 0) << qPrintable(name);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static QStringList Listed(SortWindow& window) {
        QStringList names;
        auto* box = Find<QComboBox>(&window, "CmbPlan");
        for (int i = 0; i < box->count(); ++i) names << box->itemText(i);
        return names;
    }

    TempDir m_dir;
    std::string m_ini = m_dir / "Zanfeld.ini";
    std::unique_ptr<AppWindows> m_windows;
    TForm1* files = nullptr;
    TForm6* folders = nullptr;
    QString offered;
};

// Whatever page and choices a plan was saved with, the file holds the
// window's options, and choosing the plan after the controls changed brings
// every one of them back.
TEST_F(SortPlanWindowTest, APlanSavedOnAnyPageComesBackWhole) {
    struct Row {
        int page;
        const char* move;    // the mode's button
        const char* same;    // the same-name answer's button
        const char* filter;  // ChkInclude, ChkExclude or none
    };
    const Row rows[] = {{0, "RbMove", "RbRename", "ChkInclude"},
                        {1, "RbCopy", "RbSkip", nullptr},
                        {2, "RbMove", "RbIdentical", "ChkExclude"},
                        {3, "RbCopy", "RbEditFileTime", "ChkInclude"},
                        {4, "RbMove", "RbAsk", nullptr},
                        {5, "RbCopy", "RbOverwrite", "ChkExclude"},
                        {6, "RbMove", "RbSkip", "ChkInclude"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.page);
        const QString name = QStringLiteral("整理 第%1页").arg(row.page);
        Find<QTabWidget>(files, "PageControl1")->setCurrentIndex(row.page);
        Find<QRadioButton>(files, row.move)->setChecked(true);
        Find<QRadioButton>(files, row.same)->setChecked(true);
        if (row.filter) Find<QCheckBox>(files, row.filter)->setChecked(true);
        Find<QListWidget>(files, "ListBox2")->addItem(QStringLiteral("*.p%1").arg(row.page));
        Find<QListWidget>(files, "ChkLstPic")->item(row.page % 5)->setCheckState(Qt::Unchecked);
        Find<QLineEdit>(files, "EdtOutDir")->setText(Q(m_dir / "出口" + std::to_string(row.page)));
        Find<QLineEdit>(files, "EdtKeys")->setText(QStringLiteral("发票 合同%1").arg(row.page));
        Find<QCheckBox>(files, "ChkFileNamePart")->setChecked(row.page % 2 == 0);
        Find<QLineEdit>(files, "EdtPartNameEnd")->setText(QString::number(row.page + 3));
        Find<QLineEdit>(files, "EdtFilter")->setText(QStringLiteral("_*副本"));
        Find<QCheckBox>(files, "ChkOnlyMatchDir")->setChecked(row.page % 3 == 0);
        Find<QLineEdit>(files, "EdtSize")->setText(QString::number(row.page * 10));
        Find<QComboBox>(files, "CmbCondition")->setCurrentIndex(row.page % 2);
        Find<QComboBox>(files, "CmbUnit")->setCurrentIndex((row.page + 1) % 2);
        Find<QRadioButton>(files, row.page % 2 ? "RbModifyTime" : "RbCreateTime")->setChecked(true);
        Find<QComboBox>(files, "CmbFileDate")->setCurrentIndex(row.page % 2);
        Find<QDateEdit>(files, "DtDate")->setDate(QDate(2020 + row.page, 2, 29 - row.page));
        Find<QTimeEdit>(files, "DtTime")->setTime(QTime(row.page, 30, 15));
        Find<QRadioButton>(files, row.page % 2 ? "RbPicH" : "RbPicW")->setChecked(true);
        Find<QComboBox>(files, "CmbPic")->setCurrentIndex(row.page % 3);
        Find<QLineEdit>(files, "EdtPic")->setText(QString::number(row.page * 100));
        Find<QComboBox>(files, "CmbTakenGroup")->setCurrentIndex(row.page % 4);
        Find<QCheckBox>(files, "ChkTakenModified")->setChecked(row.page % 2 == 1);
        Find<QCheckBox>(files, "ChkTakenSkip")->setChecked(row.page % 3 == 0);
        Find<QListWidget>(files, "LstTakenTypes")->item(row.page * 3)->setCheckState(Qt::Unchecked);
        const SortOptions shown = files->ReadOptions();

        SavePlanAs(*files, name);
        const std::optional<SortPlan> saved = LoadPlan(m_ini, ToNative(name));
        ASSERT_TRUE(saved);
        EXPECT_FALSE(saved->folders);
        ExpectSameOptions(saved->options, shown);
        EXPECT_EQ(Find<QComboBox>(files, "CmbPlan")->currentText(), name);

        // Everything changed, then the plan (still the one shown) chosen again.
        SortOptions other;
        other.page = SortPage::FileName;
        other.outputDir = m_dir / "别处/";
        other.picturePatterns = {"*.GIF"};
        other.takenGroup = TakenGroup::Day;
        other.takenPatterns = {"*.MP4"};
        other.sizeCondition.reset();
        files->ApplyOptions(other);
        ExpectSameOptions(files->ReadOptions(), other);
        ChoosePlan(*files, name);
        ExpectSameOptions(files->ReadOptions(), shown);
    }
}

// Each window lists its own plans; the windows' own saves at closing keep
// every plan, and the folder window's plan comes back too.
TEST_F(SortPlanWindowTest, EachWindowListsItsOwnPlansAndClosingKeepsThem) {
    SavePlanAs(*files, QStringLiteral("下载"));
    Find<QTabWidget>(folders, "PageControl1")->setCurrentIndex(0);
    Find<QLineEdit>(folders, "EdtKeys")->setText(QStringLiteral("客户 项目"));
    Find<QRadioButton>(folders, "RbRename")->setChecked(true);
    Find<QLineEdit>(folders, "EdtOutDir")->setText(Q(m_dir / "目录结果/"));
    const SortOptions shown = folders->ReadOptions();
    SavePlanAs(*folders, QStringLiteral("项目目录"));

    EXPECT_EQ(Listed(*files), QStringList{QStringLiteral("下载")});
    EXPECT_EQ(Listed(*folders), QStringList{QStringLiteral("项目目录")});
    const std::optional<SortPlan> folderPlan = LoadPlan(m_ini, "项目目录");
    ASSERT_TRUE(folderPlan);
    EXPECT_TRUE(folderPlan->folders);

    Find<QLineEdit>(folders, "EdtKeys")->clear();
    Find<QRadioButton>(folders, "RbSkip")->setChecked(true);
    ChoosePlan(*folders, QStringLiteral("项目目录"));
    ExpectSameOptions(folders->ReadOptions(), shown);

    // Both windows write their own sections as they close.
    files->close();
    folders->close();
    ASSERT_EQ(LoadPlans(m_ini).size(), 2u);
    EXPECT_EQ(LoadPlans(m_ini)[0].name, "下载");
    EXPECT_EQ(LoadPlans(m_ini)[1].name, "项目目录");
    EXPECT_EQ(LoadFolderWindowSettings(m_ini, {}).edtKeys, "客户 项目");
}

// A name the file cannot hold is refused with the reason; an existing name
// is replaced only after a question whose default is No, and a deletion
// asks the same way.
TEST_F(SortPlanWindowTest, BadNamesAreRefusedAndReplacingOrDeletingAsks) {
    for (const char* bad : {"", " 前后空格 ", "[方案]"}) {
        SavePlanAs(*files, QString::fromUtf8(bad));
        ASSERT_EQ(BoxTexts().size(), 1u) << bad;
        EXPECT_EQ(BoxTexts()[0], FromEngine(PlanNameProblem(bad)));
        EXPECT_FALSE(BoxTexts()[0].isEmpty());
        MessageBoxes::clearShown();
    }
    EXPECT_TRUE(LoadPlans(m_ini).empty());

    Find<QLineEdit>(files, "EdtKeys")->setText(QStringLiteral("旧"));
    SavePlanAs(*files, QStringLiteral("月报"));
    Find<QLineEdit>(files, "EdtKeys")->setText(QStringLiteral("新"));
    for (const bool yes : {false, true}) {
        MessageBoxes::clearShown();
        MessageBoxes::queueAnswer(yes);
        SavePlanAs(*files, QStringLiteral("月报"));
        EXPECT_EQ(offered, QStringLiteral("月报"));  // the plan shown is offered
        ASSERT_EQ(MessageBoxes::shown().size(), 1u);
        EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Question);
        EXPECT_EQ(MessageBoxes::shown()[0].byDefault, MessageBoxes::DefaultAnswer::No);
        EXPECT_EQ(LoadPlan(m_ini, "月报")->options.keywordText, yes ? "新" : "旧");
    }

    for (const bool yes : {false, true}) {
        MessageBoxes::clearShown();
        MessageBoxes::queueAnswer(yes);
        Find<QPushButton>(files, "BtnDeletePlan")->click();
        ASSERT_EQ(MessageBoxes::shown().size(), 1u);
        EXPECT_EQ(MessageBoxes::shown()[0].byDefault, MessageBoxes::DefaultAnswer::No);
        EXPECT_EQ(LoadPlan(m_ini, "月报").has_value(), !yes);
    }
    EXPECT_TRUE(Listed(*files).isEmpty());
    EXPECT_FALSE(Find<QPushButton>(files, "BtnDeletePlan")->isEnabled());
}

}  // namespace
}  // namespace zanfeld::test
