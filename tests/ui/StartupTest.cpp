// Start-up and closing: the application title, Qt's Chinese texts, the
// windows in order, the settings section read at creation and written on close.

#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "AppWindows.h"
#include "HomeFolder.h"
#include "SettingsFile.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

class StartupTest : public UiTest {
  protected:
    void TearDown() override {
        m_windows.reset();
        UiTest::TearDown();
    }
    std::string Ini() const { return m_dir / "Zanfeld.ini"; }
    TForm1& Open() {
        m_windows = std::make_unique<AppWindows>(Ini(), m_dir / "prog");
        return m_windows->fileWindow();
    }
    template <typename T>
    T* W(const char* name) {
        return Find<T>(&m_windows->fileWindow(), name);
    }

    TempDir m_dir;
    std::unique_ptr<AppWindows> m_windows;
};

TEST_F(StartupTest, ApplicationIsNamedAndSpeaksChinese) {
    EXPECT_EQ(QCoreApplication::applicationName(), "Zanfeld");
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok |
                           QMessageBox::Cancel);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
    EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QStringLiteral("否")));
    EXPECT_TRUE(box.button(QMessageBox::Ok)->text().contains(QStringLiteral("确定")));
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("取消")));
}

TEST_F(StartupTest, CreatesTheWindowsWithTheirCaptions) {
    TForm1& form = Open();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), "Zanfeld");
    EXPECT_FALSE(m_windows->addDirectoryDialog().isVisible());
    EXPECT_FALSE(m_windows->aboutBox().isVisible());
    EXPECT_FALSE(m_windows->addTypeDialog().isVisible());
    EXPECT_EQ(m_windows->aboutBox().windowTitle(), QStringLiteral("关于 - Zanfeld"));
    EXPECT_EQ(m_windows->addTypeDialog().windowTitle(), QStringLiteral("添加文件类型"));
    EXPECT_EQ(m_windows->addDirectoryDialog().windowTitle(),
              QStringLiteral("选择要添加的目录（文件夹）"));
}

TEST_F(StartupTest, FirstStartWithoutSettingsFile) {
    MakeDir(m_dir / "prog");
    Open();
    EXPECT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_EQ(W<QLabel>("lblOption")->text(), QStringLiteral("分拣方式： 按文件名匹配关键字分拣 "));
    EXPECT_TRUE(W<QRadioButton>("RbSkip")->isChecked());
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(m_dir / "prog/"));
    EXPECT_EQ(W<QListWidget>("ListBox2")->count(), 0);
    EXPECT_EQ(W<QDateEdit>("DtDate")->date(), QDate(2013, 5, 6));
}

// On the first start the output folder is the user's home folder, not the
// program's (a build folder, or a system folder nobody may write to); a stored
// folder that exists still wins.
TEST_F(StartupTest, FirstStartOutputIsTheHomeFolder) {
    const char* before = std::getenv("HOME");
    const std::string saved = before ? before : "";
    const std::string home = m_dir / "home";
    MakeDir(home);
    ::setenv("HOME", home.c_str(), 1);
    m_windows = std::make_unique<AppWindows>(Ini(), DefaultOutputFolder());
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(home + "/"));
    EXPECT_EQ(Find<QLineEdit>(&m_windows->folderWindow(), "EdtOutDir")->text(), Q(home + "/"));
    m_windows.reset();

    MakeDir(m_dir / "stored");
    WriteFile(Ini(), "[Parameter]\nOutDir=" + m_dir / "stored/" + "\n");
    m_windows = std::make_unique<AppWindows>(Ini(), DefaultOutputFolder());
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(m_dir / "stored/"));
    if (before)
        ::setenv("HOME", saved.c_str(), 1);
    else
        ::unsetenv("HOME");
}

TEST_F(StartupTest, StoredChoicesAreApplied) {
    MakeDir(m_dir / "stored");
    WriteFile(Ini(),
              "[Parameter]\n"
              "Filter=-*_\n"
              "SameFile=3\n"
              "OutDir=" +
                  m_dir / "stored/" +
                  "\n"
                  "Page=5\n"
                  "PicSize=1\n"
                  "CmbPic=0x10\n"
                  "PicSizeValue=800\n"
                  "CmbCondition=1\n"
                  "CmbUnit=1\n"
                  "FileSize=100\n"
                  "EdtKeys=游记 西\n"
                  "SuffixFilter=*.txt| *.doc |*.xls \n"
                  "FileAttr=1\n"
                  "CmbFileDate=1\n");
    Open();
    EXPECT_EQ(W<QLineEdit>("EdtFilter")->text(), "-*_");
    EXPECT_TRUE(W<QRadioButton>("RbRename")->isChecked());
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), Q(m_dir / "stored/"));
    EXPECT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 5);
    EXPECT_EQ(W<QLabel>("lblOption")->text(), QStringLiteral("分拣方式： 图像文件分拣"));
    EXPECT_FALSE(W<QWidget>("PnlOption")->isVisible());
    EXPECT_TRUE(W<QWidget>("PnlOption2")->isVisible());
    EXPECT_TRUE(W<QRadioButton>("RbPicH")->isChecked());
    EXPECT_EQ(W<QComboBox>("CmbPic")->currentIndex(), -1);  // 16 is no item
    EXPECT_EQ(W<QLineEdit>("EdtPic")->text(), "800");
    EXPECT_EQ(W<QComboBox>("CmbCondition")->currentIndex(), 1);
    EXPECT_EQ(W<QComboBox>("CmbUnit")->currentIndex(), 1);
    EXPECT_EQ(W<QLineEdit>("EdtSize")->text(), "100");
    EXPECT_EQ(W<QLineEdit>("EdtKeys")->text(), QStringLiteral("游记 西"));
    auto* types = W<QListWidget>("ListBox2");
    ASSERT_EQ(types->count(), 3);
    EXPECT_EQ(types->item(1)->text(), " *.doc ");
    EXPECT_EQ(types->item(2)->text(), "*.xls");
    EXPECT_TRUE(W<QRadioButton>("RbModifyTime")->isChecked());
    EXPECT_EQ(W<QComboBox>("CmbFileDate")->currentIndex(), 1);
    // Not kept: all picture types start checked.
    auto* pictures = W<QListWidget>("ChkLstPic");
    for (int i = 0; i < pictures->count(); ++i)
        EXPECT_EQ(pictures->item(i)->checkState(), Qt::Checked);
}

TEST_F(StartupTest, PageOutOfRangeLeavesTheDesignPage) {
    WriteFile(Ini(), "[Parameter]\nPage=7\nSameFile=7\nOutDir=/no/such/folder/\n");
    Open();
    EXPECT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 1);
    EXPECT_EQ(W<QLabel>("lblOption")->text(), QStringLiteral("分拣方式： 按文件名分拣"));
    EXPECT_TRUE(W<QRadioButton>("RbSkip")->isChecked());
    EXPECT_EQ(W<QLineEdit>("EdtOutDir")->text(), "");
}

// A stored output folder that is gone, or stored empty, gives way in either
// window to the folder of the first start, and that is what closing saves;
// only when that folder is missing too does the field stay empty.
TEST_F(StartupTest, AStoredOutputFolderThatIsGoneGivesWayToTheFirstStartFolder) {
    const std::string home = m_dir / "home";
    const std::pair<const char*, bool> cases[] = {
        {"/no/such/folder/", true}, {"", true}, {"/no/such/folder/", false}};  // home exists
    for (const auto& [stored, homeExists] : cases) {
        homeExists ? MakeDir(home) : void(::rmdir(home.c_str()));
        WriteFile(Ini(), std::string("[Parameter]\nOutDir=") + stored +
                             "\n[Parameter2]\nOutDir=" + stored + "\n");
        m_windows = std::make_unique<AppWindows>(Ini(), home);
        const std::string shown = homeExists ? home + "/" : "";
        for (SortWindow* window : {static_cast<SortWindow*>(&m_windows->fileWindow()),
                                   static_cast<SortWindow*>(&m_windows->folderWindow())}) {
            EXPECT_EQ(Find<QLineEdit>(window, "EdtOutDir")->text(), Q(shown)) << stored;
            window->close();
        }
        EXPECT_EQ(LoadFileWindowSettings(Ini(), "").outDir, shown) << stored;
        EXPECT_EQ(LoadFolderWindowSettings(Ini(), "").outDir, shown) << stored;
    }
}

TEST_F(StartupTest, ClosingWritesTheSectionAndEndsTheProgram) {
    TForm1& form = Open();
    QSignalSpy closed(&form, &TForm1::closed);
    W<QTabWidget>("PageControl1")->setCurrentIndex(3);
    W<QRadioButton>("RbAsk")->setChecked(true);
    W<QLineEdit>("EdtOutDir")->setText(Q(m_dir.path() + "/"));
    W<QLineEdit>("EdtKeys")->setText("  游记  ");
    W<QListWidget>("ListBox2")->addItems({"*.txt", "*.doc"});
    W<QComboBox>("CmbUnit")->setCurrentIndex(-1);
    W<QDateEdit>("DtDate")->setDate(QDate(2021, 12, 31));

    EXPECT_TRUE(form.close());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(MessageBoxes::shown().empty());

    const std::string text = ReadFile(Ini());
    EXPECT_NE(text.find("SameFile=2"), std::string::npos) << text;
    EXPECT_NE(text.find("Page=3"), std::string::npos) << text;
    EXPECT_NE(text.find("EdtKeys=游记\n"), std::string::npos) << text;
    EXPECT_NE(text.find("SuffixFilter=*.txt|*.doc|"), std::string::npos) << text;
    EXPECT_NE(text.find("CmbUnit=-1"), std::string::npos) << text;
    EXPECT_EQ(text.find("Parameter2"), std::string::npos) << text;

    const FileWindowSettings back = LoadFileWindowSettings(Ini(), m_dir / "prog");
    EXPECT_EQ(back.sameFilePolicy, SameFilePolicy::Ask);
    EXPECT_EQ(back.outDir, m_dir.path() + "/");
    ASSERT_TRUE(back.dtDate.has_value());
    EXPECT_EQ(back.dtDate->year, 2021);
    EXPECT_EQ(back.dtDate->month, 12);
    EXPECT_EQ(back.dtDate->day, 31);

    // The next start shows what was stored.
    m_windows.reset();
    Open();
    EXPECT_EQ(W<QTabWidget>("PageControl1")->currentIndex(), 3);
    EXPECT_TRUE(W<QRadioButton>("RbAsk")->isChecked());
    EXPECT_EQ(W<QDateEdit>("DtDate")->date(), QDate(2021, 12, 31));
}

TEST_F(StartupTest, ClosingTheWindowEndsTheEventLoop) {
    TForm1& form = Open();
    // Only the window's own signal may end the loop here.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QMetaObject::invokeMethod(
        &form, [&form] { form.close(); }, Qt::QueuedConnection);
    bool watchdogFired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        watchdogFired = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(20000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(watchdogFired);
    QGuiApplication::setQuitOnLastWindowClosed(true);
    EXPECT_TRUE(IsFile(Ini()));
}

TEST_F(StartupTest, SettingsWriteFailureIsReported) {
    WriteFile(m_dir / "blocker", "a file where a folder should be");
    m_windows = std::make_unique<AppWindows>(m_dir / "blocker/Zanfeld.ini", m_dir / "prog");
    TForm1& form = m_windows->fileWindow();
    form.close();
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Error);
    EXPECT_EQ(MessageBoxes::shown()[0].text,
              "Unable to write to " + Q(m_dir / "blocker/Zanfeld.ini"));
    EXPECT_EQ(MessageBoxes::shown()[0].caption, "Zanfeld");
}

// A settings file the save cannot keep whole is left as it was, and closing
// the window says why: here a NUL byte in the folder window's section.
TEST_F(StartupTest, ASettingsFileTheSaveCannotKeepIsLeftAndTheReasonShown) {
    static const char kStored[] = "[Parameter]\nFilter=abc\n[Parameter2]\nFilter=x\0y\nPage=2\n";
    const std::string stored(kStored, sizeof kStored - 1);
    WriteFile(Ini(), stored);
    TForm1& form = Open();
    EXPECT_EQ(W<QLineEdit>("EdtFilter")->text(), "abc");
    form.close();
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].kind, MessageBoxes::Kind::Error);
    EXPECT_EQ(MessageBoxes::shown()[0].text,
              QStringLiteral("无法保存设置：“") + Q(Ini()) +
                  QStringLiteral("”第 4 行含有空字符（NUL），其后的内容无法保留。"
                                 "文件未被改动，请修改或删除该行后再试。"));
    EXPECT_EQ(ReadFile(Ini()), stored);
}

// A settings name that leads to a pipe is neither opened nor replaced.
TEST_F(StartupTest, ASettingsFileThatIsAPipeIsLeftAndTheReasonShown) {
    const std::string pipe = m_dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(pipe.c_str(), Ini().c_str()), 0);
    TForm1& form = Open();
    form.close();
    ASSERT_EQ(MessageBoxes::shown().size(), 1u);
    EXPECT_EQ(MessageBoxes::shown()[0].text,
              QStringLiteral("无法保存设置：“") + Q(Ini()) +
                  QStringLiteral("”不是普通文件（设备、管道或套接字），未被改动。"));
    struct stat st;
    ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(::lstat(Ini().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

}  // namespace
}  // namespace zanfeld::test
