// What zanfeld does with its command line: paths a desktop opens it with
// (a launcher's "open with", files dropped on its icon) land in the lists,
// files in the file window's as dropped files do, folders in the folder
// window's; options it does not know are named.

#include <QListView>
#include <memory>

#include "AppWindows.h"
#include "StartArguments.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

StartArguments Parse(std::vector<const char*> words, const std::string& cwd = "/home/u") {
    words.insert(words.begin(), "zanfeld");
    return StartArguments::parse(static_cast<int>(words.size()), words.data(), cwd);
}

TEST(StartArgumentsParse, PathsOptionsAndMistakes) {
    StartArguments a = Parse({"a.txt", "/abs/b", "--", "--not-an-option", "文件夹/x"});
    EXPECT_TRUE(a.error.empty());
    EXPECT_EQ(a.paths, (std::vector<std::string>{"/home/u/a.txt", "/abs/b",
                                                 "/home/u/--not-an-option", "/home/u/文件夹/x"}));
    a = Parse({"--version"});
    EXPECT_TRUE(a.version);
    a = Parse({"--help", "x"}, "/");
    EXPECT_TRUE(a.help);
    EXPECT_EQ(a.paths, (std::vector<std::string>{"/x"}));
    a = Parse({"--self-check"});
    EXPECT_TRUE(a.selfCheck);
    a = Parse({"a", "--bogus", "b"});
    EXPECT_EQ(a.error, "--bogus");
    // A name that is not UTF-8 stays the bytes it was.
    a = Parse({"\xff\xfe.txt"}, "/d");
    EXPECT_EQ(a.paths, (std::vector<std::string>{"/d/\xff\xfe.txt"}));
}

TEST(StartArgumentsParse, Language) {
    EXPECT_EQ(Parse({}).lang, "");
    StartArguments a = Parse({"--lang", "en", "x"}, "/");
    EXPECT_TRUE(a.error.empty());
    EXPECT_EQ(a.lang, "en");
    EXPECT_EQ(a.paths, (std::vector<std::string>{"/x"}));
    EXPECT_EQ(Parse({"--lang=zh"}).lang, "zh");
    // A language the program does not speak, or none, names the option.
    for (const auto& words :
         {std::vector<const char*>{"--lang", "fr"}, std::vector<const char*>{"--lang=de"},
          std::vector<const char*>{"--lang=EN"}, std::vector<const char*>{"--lang="},
          std::vector<const char*>{"a", "--lang"}}) {
        a = Parse(words);
        EXPECT_EQ(a.error, "--lang") << words.back();
        EXPECT_NE(a.errorText.find("--lang"), std::string::npos) << a.errorText;
        EXPECT_TRUE(a.lang.empty());
    }
    // After "--" it is a file's name.
    a = Parse({"--", "--lang", "en"}, "/");
    EXPECT_TRUE(a.error.empty());
    EXPECT_TRUE(a.lang.empty());
    EXPECT_EQ(a.paths, (std::vector<std::string>{"/--lang", "/en"}));
    a = Parse({"--bogus"});
    EXPECT_NE(a.errorText.find("--bogus"), std::string::npos) << a.errorText;
}

class OpenPathsTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        m_windows = std::make_unique<AppWindows>(m_dir / "Zanfeld.ini", m_dir.path());
    }
    void TearDown() override {
        m_windows.reset();
        UiTest::TearDown();
    }
    int Rows(QWidget* window) { return Find<QListView>(window, "ListBox1")->model()->rowCount(); }
    TempDir m_dir;
    std::unique_ptr<AppWindows> m_windows;
};

TEST_F(OpenPathsTest, FilesToTheFileWindowFoldersToTheFolderWindow) {
    WriteFile(m_dir / "in/a.txt", "a");
    WriteFile(m_dir / "in/b.txt", "b");
    MakeDir(m_dir / "in/sub");
    TForm1& files = m_windows->fileWindow();
    TForm6& folders = m_windows->folderWindow();
    m_windows->openPaths({m_dir / "in/a.txt", m_dir / "in/sub", m_dir / "in/gone.txt",
                          m_dir / "in/b.txt", m_dir / "in/a.txt", "/dev/null"});
    // As dropped files: listed again when named again; what is no file is passed over.
    EXPECT_EQ(
        files.sourceList().entries(),
        (std::vector<std::string>{m_dir / "in/a.txt", m_dir / "in/b.txt", m_dir / "in/a.txt"}));
    EXPECT_EQ(Rows(&files), 3);
    EXPECT_EQ(folders.sourceList().entries(), (std::vector<std::string>{m_dir / "in/sub"}));
    EXPECT_EQ(Rows(&folders), 1);
    // With files among them, the file window stays in front.
    EXPECT_TRUE(files.isVisible());
    EXPECT_FALSE(folders.isVisible());
}

TEST_F(OpenPathsTest, OnlyFoldersBringTheFolderWindowForward) {
    MakeDir(m_dir / "one");
    MakeDir(m_dir / "two");
    m_windows->openPaths({m_dir / "one", m_dir / "two", m_dir / "one"});
    EXPECT_EQ(m_windows->folderWindow().sourceList().size(), 2u);
    EXPECT_TRUE(m_windows->folderWindow().isVisible());
    EXPECT_FALSE(m_windows->fileWindow().isVisible());
    // Nothing given: the program starts as it always did.
    m_windows.reset();
    m_windows = std::make_unique<AppWindows>(m_dir / "Zanfeld.ini", m_dir.path());
    m_windows->openPaths({});
    EXPECT_TRUE(m_windows->fileWindow().isVisible());
    EXPECT_EQ(m_windows->fileWindow().sourceList().size(), 0u);
}

}  // namespace
}  // namespace zanfeld::test
