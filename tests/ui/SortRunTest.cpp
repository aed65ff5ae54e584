// Whole sort runs started with the start button, with the boxes answered
// through the message box seam.

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <memory>

#include "AppWindows.h"
#include "FileChecks.h"
#include "TakenSamples.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"

namespace zanfeld::test {
namespace {

class SortRunTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_windows = std::make_unique<AppWindows>(m_dir / "Zanfeld.ini", m_dir.path());
        form = &m_windows->fileWindow();
        src = m_dir / "src";
        out = m_dir / "out";
        MakeDir(out);
    }
    void TearDown() override {
        m_windows.reset();
        UiTest::TearDown();
    }

    template <typename T>
    T* W(const char* name) {
        return Find<T>(form, name);
    }

    // Lists the files through the add-files button.
    void AddFiles(const std::vector<std::string>& names) {
        QStringList paths;
        for (const std::string& name : names) {
            WriteFile(src + "/" + name, "new " + name);
            paths << Q(src + "/" + name);
        }
        FilePickers::queueAnswer(paths);
        W<QPushButton>("Button1")->click();
    }

    LockState Locks() const { return LocksOf(*form); }

    TempDir m_dir;
    std::unique_ptr<AppWindows> m_windows;
    TForm1* form = nullptr;
    std::string src;
    std::string out;
};

TEST_F(SortRunTest, TypeRunLocksTheWindowAsksAndPlacesEveryFile) {
    AddFiles({"a.txt", "b.doc", "c.txt", "d.txt"});
    WriteFile(out + "/.txt/a.txt", "old a");
    W<QTabWidget>("PageControl1")->setCurrentIndex(2);
    W<QLineEdit>("EdtOutDir")->setText(Q(out));  // the run appends the separator
    W<QRadioButton>("RbAsk")->setChecked(true);

    const BarWatch watch(*form);
    std::vector<LockState> locksAtBox;
    std::vector<int> barAtBox;
    MessageBoxes::setHook([&](const MessageBoxes::Shown&) {
        locksAtBox.push_back(Locks());
        barAtBox.push_back(W<QProgressBar>("ProgressBar1")->value());
    });
    MessageBoxes::queueAnswer(true);

    StartRunAndWait(*form);

    ASSERT_EQ(BoxTexts(), (std::vector<QString>{QStringLiteral("文件") + Q(out + "/.txt/a.txt") +
                                                    QStringLiteral("已存在，是否覆盖？"),
                                                QStringLiteral("分拣工作完成！")}));
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Question);
    EXPECT_EQ(MessageBoxes::shown()[0].caption, "Zanfeld");
    EXPECT_EQ(MessageBoxes::shown()[1].kind, MessageBoxes::Kind::Information);
    // While the question is open the window is locked; at the end it is not.
    ExpectLocked(locksAtBox[0]);
    ExpectUnlocked(locksAtBox[1]);
    EXPECT_EQ(barAtBox[1], 100);

    // 0 after the first file is no change; then 25, 50, 75, 100 and back to 0.
    EXPECT_EQ(watch.values, (std::vector<int>{25, 50, 75, 100, 0}));
    ASSERT_EQ(watch.locks.size(), 5u);
    for (size_t i = 0; i < 3; ++i) ExpectLocked(watch.locks[i]);
    ExpectUnlocked(watch.locks[4]);

    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "new a.txt");
    EXPECT_EQ(ReadFile(out + "/.txt/c.txt"), "new c.txt");
    EXPECT_EQ(ReadFile(out + "/.txt/d.txt"), "new d.txt");
    EXPECT_EQ(ReadFile(out + "/.doc/b.doc"), "new b.doc");
    EXPECT_TRUE(IsFile(src + "/a.txt"));  // copied, not moved
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(out + "/"));
    ExpectUnlocked(Locks());
    EXPECT_EQ(W<QProgressBar>("ProgressBar1")->value(), 0);
}

TEST_F(SortRunTest, TransferModeChangedDuringTheRunAppliesToTheNextFiles) {
    AddFiles({"a.txt", "b.txt", "c.txt"});
    WriteFile(out + "/.txt/a.txt", "old a");
    W<QTabWidget>("PageControl1")->setCurrentIndex(2);
    W<QLineEdit>("EdtOutDir")->setText(Q(out + "/"));
    W<QRadioButton>("RbAsk")->setChecked(true);
    MessageBoxes::setHook([&](const MessageBoxes::Shown& box) {
        // The user switches to moving while the first file's question is open;
        // the list stays usable and its changes do not touch the run.
        if (box.kind == MessageBoxes::Kind::Question) {
            W<QRadioButton>("RbMove")->click();
            W<QPushButton>("Button6")->click();
        }
    });
    MessageBoxes::queueAnswer(false);

    StartRunAndWait(*form);

    EXPECT_EQ(BoxTexts().back(), QStringLiteral("分拣工作完成！"));
    EXPECT_EQ(ReadFile(out + "/.txt/a.txt"), "old a");  // answered No
    EXPECT_TRUE(IsFile(src + "/a.txt"));
    EXPECT_EQ(ReadFile(out + "/.txt/b.txt"), "new b.txt");
    EXPECT_FALSE(IsFile(src + "/b.txt"));  // moved
    EXPECT_FALSE(IsFile(src + "/c.txt"));
    EXPECT_TRUE(form->sourceList().empty());
}

TEST_F(SortRunTest, ChecksRefuseBeforeAnythingIsLocked) {
    // Nothing runs while a refusal is up: 停止 has nothing to stop.
    std::vector<bool> stopAtBox;
    MessageBoxes::setHook([&](const MessageBoxes::Shown&) {
        stopAtBox.push_back(W<QPushButton>("BtnStop")->isEnabled());
    });
    W<QLineEdit>("EdtOutDir")->setText(Q(out));
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("没有需要分拣的文件!")});
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(out));  // untouched

    AddFiles({"a.txt"});
    MessageBoxes::clearShown();
    W<QLineEdit>("EdtOutDir")->setText("   ");
    StartRunAndWait(*form);  // blank output folder: the chooser opens
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("请选择分拣结果输出目录！")});
    ASSERT_EQ(FilePickers::requests().size(), 2u);
    EXPECT_EQ(FilePickers::requests()[1].kind, FilePickers::Kind::Folder);

    MessageBoxes::clearShown();
    W<QTabWidget>("PageControl1")->setCurrentIndex(0);
    W<QLineEdit>("EdtOutDir")->setText(Q(out));
    W<QLineEdit>("EdtKeys")->setText("  ");
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("请输入匹配关键字!")});
    EXPECT_EQ(form->focusWidget(), W<QLineEdit>("EdtKeys"));
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(out + "/"));
    ExpectUnlocked(Locks());
    EXPECT_TRUE(IsFile(src + "/a.txt"));
    EXPECT_EQ(stopAtBox, (std::vector<bool>{false, false, false}));
}

TEST_F(SortRunTest, KeywordRunFillsAFolderPerKeyword) {
    AddFiles({"西游记.txt", "东游记.doc", "红楼梦.txt"});
    W<QTabWidget>("PageControl1")->setCurrentIndex(0);
    W<QLineEdit>("EdtOutDir")->setText(Q(out + "/"));
    W<QLineEdit>("EdtKeys")->setText("游记 楼");
    StartRunAndWait(*form);
    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("分拣工作完成！")});
    EXPECT_TRUE(IsFile(out + "/游记/西游记.txt"));
    EXPECT_TRUE(IsFile(out + "/游记/东游记.doc"));
    EXPECT_TRUE(IsFile(out + "/楼/红楼梦.txt"));
}

// With the taken-date page chosen a run sorts by the day a file was taken:
// by its own record, else by its name; an undated file goes to the folder
// for unknown dates; a type the page does not list stays.
TEST_F(SortRunTest, TakenDatePageSortsByTheDayTaken) {
    ExifDates taken;
    taken.original = "2023:01:02 03:04:05";
    AddFiles({"IMG_20240506_123456.jpg", "a.jpg", "plain.jpg", "IMG_20240506_123456.txt"});
    for (const char* name : {"IMG_20240506_123456.jpg", "plain.jpg"})
        WriteFile(src + "/" + name, JpegWith(""));
    WriteFile(src + "/a.jpg", JpegWith(ExifSegment(taken)));
    W<QTabWidget>("PageControl1")->setCurrentIndex(6);
    W<QLineEdit>("EdtOutDir")->setText(Q(out));

    StartRunAndWait(*form);

    EXPECT_EQ(BoxTexts(), std::vector<QString>{QStringLiteral("分拣工作完成！")});
    for (const char* placed :
         {"/2024/05/IMG_20240506_123456.jpg", "/2023/01/a.jpg", "/未知日期/plain.jpg"})
        EXPECT_TRUE(IsFile(out + placed)) << placed;
    EXPECT_EQ(Names(out), (std::vector<std::string>{"2023", "2024", "未知日期"}));
}

// A run that could not place every file ends with the warning icon; its first
// line is the completion line all the same.
TEST_F(SortRunTest, ARunWithFailuresEndsWithTheWarningIcon) {
    AddFiles({"a.txt"});
    W<QTabWidget>("PageControl1")->setCurrentIndex(2);
    W<QLineEdit>("EdtOutDir")->setText(QStringLiteral("/proc/zanfeld-nowhere/"));
    StartRunAndWait(*form);
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Warning);
    EXPECT_TRUE(MessageBoxes::shown()[0].text.startsWith(QStringLiteral("分拣工作完成！\n\n")));
    EXPECT_TRUE(MessageBoxes::shown()[0].text.contains(
        QStringLiteral("无法建立目标文件夹“/proc/zanfeld-nowhere/.txt”")));
    EXPECT_EQ(MessageBoxes::shown()[0].caption, "Zanfeld");
    ExpectUnlocked(Locks());
}

}  // namespace
}  // namespace zanfeld::test
