// What zanfeld does with its command line: paths a desktop opens it with
// (a launcher's "open with", files dropped on its icon) land in the lists,
// files in the file window's as dropped files do, folders in the folder
// window's; options it does not know are named.

#include <QListView>

#include "AppWindows.h"
#include "StartArguments.h"
#include "TempDir.h"
#include "UiTestSupport.h"
#include "Unit1.h"
#include "Unit6.h"

namespace zanfeld::test {
namespace {

TEST(StartArgumentsParse, PathsOptionsAndMistakes) {
    struct Case {
        std::vector<const char*> words;
        std::vector<std::string> paths{};  // checked when nothing is at fault
        std::string error{};
        std::string lang{};
        bool StartArguments::*flag = nullptr;
    };
    const Case cases[] = {
        {{"a.txt", "/abs/b", "--", "--not-an-option", "文件夹/x"},
         {"/d/a.txt", "/abs/b", "/d/--not-an-option", "/d/文件夹/x"}},
        // A name that is not UTF-8 stays the bytes it was.
        {{"\xff\xfe.txt"}, {"/d/\xff\xfe.txt"}},
        {{"--version"}, {}, "", "", &StartArguments::version},
        {{"--help", "x"}, {"/d/x"}, "", "", &StartArguments::help},
        {{"--self-check"}, {}, "", "", &StartArguments::selfCheck},
        {{"--lang", "en", "x"}, {"/d/x"}, "", "en"},
        {{"--lang=zh"}, {}, "", "zh"},
        // After "--" it is a file's name.
        {{"--", "--lang", "en"}, {"/d/--lang", "/d/en"}},
        {{"a", "--bogus", "b"}, {}, "--bogus"},
        // A language the program does not speak, or none, names the option.
        {{"--lang", "fr"}, {}, "--lang"},
        {{"--lang=de"}, {}, "--lang"},
        {{"--lang=EN"}, {}, "--lang"},
        {{"--lang="}, {}, "--lang"},
        {{"a", "--lang"}, {}, "--lang"},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = c.words;
        argv.insert(argv.begin(), "zanfeld");
        const StartArguments a =
            StartArguments::parse(static_cast<int>(argv.size()), argv.data(), "/d");
        const std::string words = testing::PrintToString(c.words);
        EXPECT_EQ(a.error, c.error) << words;
        EXPECT_EQ(a.lang, c.lang) << words;
        for (bool StartArguments::*flag :
             {&StartArguments::help, &StartArguments::version, &StartArguments::selfCheck}) {
            EXPECT_EQ(a.*flag, flag == c.flag) << words;
        }
        if (c.error.empty()) {
            EXPECT_EQ(a.paths, c.paths) << words;
            EXPECT_EQ(a.errorText, "") << words;
        } else {
            EXPECT_NE(a.errorText.find(c.error), std::string::npos) << a.errorText;
        }
    }
}

class OpenPathsTest : public UiTest {};

TEST_F(OpenPathsTest, FilesToTheFileWindowFoldersToTheFolderWindow) {
    TempDir dir;
    const std::string a = dir / "in/a.txt", b = dir / "in/b.txt", sub = dir / "in/sub",
                      other = dir / "other";
    WriteFile(a, "a");
    WriteFile(b, "b");
    MakeDir(sub);
    MakeDir(other);
    struct Case {
        std::vector<std::string> given, files, folders;
        bool folderWindowInFront;
    };
    const Case cases[] = {
        // As dropped files: listed again when named again; what is no file is
        // passed over. With files among them, the file window stays in front.
        {{a, sub, dir / "in/gone.txt", b, a, "/dev/null"}, {a, b, a}, {sub}, false},
        // Only folders, each listed once: the folder window comes forward.
        {{sub, other, sub}, {}, {sub, other}, true},
        // Nothing given: the program starts as it always did.
        {{}, {}, {}, false},
    };
    for (const Case& c : cases) {
        AppWindows windows(dir / "Zanfeld.ini", dir.path());
        windows.openPaths(c.given);
        TForm1& files = windows.fileWindow();
        TForm6& folders = windows.folderWindow();
        EXPECT_EQ(files.sourceList().entries(), c.files);
        EXPECT_EQ(folders.sourceList().entries(), c.folders);
        // The lists show what they hold.
        EXPECT_EQ(Find<QListView>(&files, "ListBox1")->model()->rowCount(),
                  static_cast<int>(c.files.size()));
        EXPECT_EQ(Find<QListView>(&folders, "ListBox1")->model()->rowCount(),
                  static_cast<int>(c.folders.size()));
        EXPECT_EQ(files.isVisible(), !c.folderWindowInFront);
        EXPECT_EQ(folders.isVisible(), c.folderWindowInFront);
    }
}

}  // namespace
}  // namespace zanfeld::test
