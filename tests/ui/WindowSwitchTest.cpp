// The two sorting windows together: the switch strip at the top of each, what
// each keeps while hidden, and closing either window, which saves that
// window's settings section only and ends the program.

#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <memory>

#include "AppWindows.h"
#include "SettingsFile.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

// The lines of one section, header included, as they stand in the file (the
// blank lines between sections left out).
std::string Section(const std::string& text, const std::string& name) {
    const std::string header = "[" + name + "]";
    size_t start = text.find(header + "\n");
    if (start == std::string::npos) start = text.find(header + "\r\n");
    if (start == std::string::npos) return {};
    const size_t end = text.find("\n[", start);
    std::string section =
        text.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
    while (!section.empty() && (section.back() == '\n' || section.back() == '\r')) {
        section.pop_back();
    }
    return section;
}

class WindowSwitchTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        MakeDir(m_dir / "prog");
    }
    void TearDown() override {
        m_windows.reset();
        QGuiApplication::setQuitOnLastWindowClosed(true);
        UiTest::TearDown();
    }

    std::string Ini() const { return m_dir / "Zanfeld.ini"; }
    void Open() {
        m_windows = std::make_unique<AppWindows>(Ini(), m_dir / "prog");
        files = &m_windows->fileWindow();
        folders = &m_windows->folderWindow();
    }
    template <typename T>
    T* F1(const char* name) {
        return Find<T>(files, name);
    }
    template <typename T>
    T* F6(const char* name) {
        return Find<T>(folders, name);
    }

    // Closes the window from inside the event loop; true when only the
    // program's own quit ended the loop.
    static bool CloseEndsTheLoop(QWidget* window) {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QMetaObject::invokeMethod(
            window, [window] { window->close(); }, Qt::QueuedConnection);
        bool watchdogFired = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            watchdogFired = true;
            QCoreApplication::exit(1);
        });
        watchdog.start(20000);
        const int code = QCoreApplication::exec();
        QGuiApplication::setQuitOnLastWindowClosed(true);
        return code == 0 && !watchdogFired;
    }

    TempDir m_dir;
    std::unique_ptr<AppWindows> m_windows;
    TForm1* files = nullptr;
    TForm6* folders = nullptr;
};

TEST_F(WindowSwitchTest, BothWindowsCarryTheSwitchStripAtTheTop) {
    Open();
    for (QWidget* window : {static_cast<QWidget*>(files), static_cast<QWidget*>(folders)}) {
        window->show();
        auto* strip = Find<QWidget>(window, "Panel9");
        EXPECT_EQ(Find<QRadioButton>(strip, "RbForm1")->text(), QStringLiteral("文件分拣"));
        EXPECT_EQ(Find<QRadioButton>(strip, "RbForm6")->text(),
                  QStringLiteral("文件夹（目录）分拣"));
        EXPECT_LT(strip->mapTo(window, QPoint(0, 0)).y(),
                  Find<QWidget>(window, "GroupBox1")->mapTo(window, QPoint(0, 0)).y());
    }
    EXPECT_TRUE(F1<QRadioButton>("RbForm1")->isChecked());
    EXPECT_FALSE(F1<QRadioButton>("RbForm6")->isChecked());
    EXPECT_TRUE(F6<QRadioButton>("RbForm6")->isChecked());
    EXPECT_FALSE(F6<QRadioButton>("RbForm1")->isChecked());
}

TEST_F(WindowSwitchTest, SwitchingBothWaysKeepsEachWindowsListChoicesAndProgress) {
    Open();
    EXPECT_TRUE(files->isVisible());
    EXPECT_FALSE(folders->isVisible());

    // Each window gets a list, choices and a bar of its own.
    FilePickers::queueAnswer({"/x/a.txt", "/x/b.txt"});
    F1<QPushButton>("Button1")->click();
    F1<QTabWidget>("PageControl1")->setCurrentIndex(3);
    F1<QLineEdit>("EdtKeys")->setText("file keys");
    F1<QRadioButton>("RbAsk")->setChecked(true);
    files->setProgress(40);

    F1<QRadioButton>("RbForm6")->click();
    EXPECT_FALSE(files->isVisible());
    EXPECT_TRUE(folders->isVisible());
    EXPECT_TRUE(F6<QRadioButton>("RbForm6")->isChecked());

    FilePickers::queueAnswer({"/y/folder"});
    F6<QPushButton>("Button1")->click();
    F6<QTabWidget>("PageControl1")->setCurrentIndex(0);
    F6<QLineEdit>("EdtKeys")->setText("folder keys");
    F6<QRadioButton>("RbRename")->setChecked(true);
    folders->setProgress(70);

    for (int round = 0; round < 2; ++round) {
        F6<QRadioButton>("RbForm1")->click();
        EXPECT_TRUE(files->isVisible());
        EXPECT_FALSE(folders->isVisible());
        EXPECT_TRUE(F1<QRadioButton>("RbForm1")->isChecked());
        EXPECT_FALSE(F1<QRadioButton>("RbForm6")->isChecked());

        EXPECT_EQ(files->sourceList().entries(),
                  (std::vector<std::string>{"/x/a.txt", "/x/b.txt"}));
        EXPECT_EQ(F1<QListView>("ListBox1")->model()->rowCount(), 2);
        EXPECT_EQ(F1<QTabWidget>("PageControl1")->currentIndex(), 3);
        EXPECT_EQ(F1<QLineEdit>("EdtKeys")->text(), "file keys");
        EXPECT_TRUE(F1<QRadioButton>("RbAsk")->isChecked());
        EXPECT_EQ(F1<QProgressBar>("ProgressBar1")->value(), 40);

        F1<QRadioButton>("RbForm6")->click();
        EXPECT_FALSE(files->isVisible());
        EXPECT_TRUE(folders->isVisible());
        EXPECT_TRUE(F6<QRadioButton>("RbForm6")->isChecked());
        EXPECT_FALSE(F6<QRadioButton>("RbForm1")->isChecked());

        EXPECT_EQ(folders->sourceList().entries(), std::vector<std::string>{"/y/folder"});
        EXPECT_EQ(F6<QListView>("ListBox1")->model()->rowCount(), 1);
        EXPECT_EQ(F6<QTabWidget>("PageControl1")->currentIndex(), 0);
        EXPECT_EQ(F6<QLineEdit>("EdtKeys")->text(), "folder keys");
        EXPECT_TRUE(F6<QRadioButton>("RbRename")->isChecked());
        EXPECT_EQ(F6<QProgressBar>("ProgressBar1")->value(), 70);
    }
    EXPECT_TRUE(MessageBoxes::shown().empty());
}

TEST_F(WindowSwitchTest, ClosingTheFolderWindowSavesOnlyItsSectionAndEndsTheProgram) {
    // A file window section as the program writes it.
    FileWindowSettings stored;
    stored.page = 3;
    stored.edtKeys = "stored keys";
    stored.sameFilePolicy = SameFilePolicy::Rename;
    ASSERT_EQ(SaveFileWindowSettings(Ini(), stored), "");
    const std::string before = Section(ReadFile(Ini()), "Parameter");
    ASSERT_FALSE(before.empty());

    Open();
    // Changes in the file window are not kept when the folder window closes.
    F1<QTabWidget>("PageControl1")->setCurrentIndex(5);
    F1<QLineEdit>("EdtKeys")->setText("changed in the file window");
    F1<QRadioButton>("RbForm6")->click();
    ASSERT_TRUE(folders->isVisible());

    F6<QTabWidget>("PageControl1")->setCurrentIndex(0);
    F6<QLineEdit>("EdtKeys")->setText("  游记 A  ");
    F6<QRadioButton>("RbAsk")->setChecked(true);
    F6<QLineEdit>("EdtOutDir")->setText(Q(m_dir.path() + "/"));
    F6<QLineEdit>("EdtFilter")->setText("1*2");

    QSignalSpy fileClosed(files, &TForm1::closed);
    QSignalSpy folderClosed(folders, &TForm6::closed);
    EXPECT_TRUE(CloseEndsTheLoop(folders));
    EXPECT_EQ(folderClosed.count(), 1);
    EXPECT_EQ(fileClosed.count(), 0);
    EXPECT_TRUE(MessageBoxes::shown().empty());

    const std::string text = ReadFile(Ini());
    EXPECT_EQ(Section(text, "Parameter"), before) << text;
    const FolderWindowSettings back = LoadFolderWindowSettings(Ini(), m_dir / "prog");
    EXPECT_EQ(back.page, 0);
    EXPECT_EQ(back.edtKeys, "游记 A");  // written trimmed
    EXPECT_EQ(back.sameFilePolicy, SameFilePolicy::Ask);
    EXPECT_EQ(back.outDir, m_dir.path() + "/");
    EXPECT_EQ(back.filter, "1*2");
    const FileWindowSettings fileBack = LoadFileWindowSettings(Ini(), m_dir / "prog");
    EXPECT_EQ(fileBack.page, 3);
    EXPECT_EQ(fileBack.edtKeys, "stored keys");

    // The next start shows what the folder window stored.
    m_windows.reset();
    Open();
    EXPECT_EQ(F6<QLineEdit>("EdtKeys")->text(), QStringLiteral("游记 A"));
    EXPECT_TRUE(F6<QRadioButton>("RbAsk")->isChecked());
    EXPECT_EQ(F1<QTabWidget>("PageControl1")->currentIndex(), 3);
}

TEST_F(WindowSwitchTest, ClosingTheFileWindowLeavesTheFolderSectionAsStored) {
    FolderWindowSettings stored;
    stored.page = 1;
    stored.edtKeys = "stored folder keys";
    ASSERT_EQ(SaveFolderWindowSettings(Ini(), stored), "");
    const std::string before = Section(ReadFile(Ini()), "Parameter2");
    ASSERT_FALSE(before.empty());

    Open();
    F1<QRadioButton>("RbForm6")->click();
    F6<QLineEdit>("EdtKeys")->setText("changed in the folder window");
    F6<QRadioButton>("RbForm1")->click();
    F1<QLineEdit>("EdtKeys")->setText("file keys");

    QSignalSpy folderClosed(folders, &TForm6::closed);
    EXPECT_TRUE(CloseEndsTheLoop(files));
    EXPECT_EQ(folderClosed.count(), 0);

    const std::string text = ReadFile(Ini());
    EXPECT_EQ(Section(text, "Parameter2"), before) << text;
    EXPECT_EQ(LoadFileWindowSettings(Ini(), m_dir / "prog").edtKeys, "file keys");
}

TEST_F(WindowSwitchTest, FolderSettingsWriteFailureIsReported) {
    WriteFile(m_dir / "blocker", "a file where a folder should be");
    m_windows = std::make_unique<AppWindows>(m_dir / "blocker/Zanfeld.ini", m_dir / "prog");
    m_windows->folderWindow().close();
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Error);
    EXPECT_EQ(MessageBoxes::shown()[0].text,
              "Unable to write to " + Q(m_dir / "blocker/Zanfeld.ini"));
}

}  // namespace
}  // namespace zanfeld::test
