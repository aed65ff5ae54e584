// Messages read back and given in English: whole messages, the pieces within
// them, and everything that is no text of the table left byte for byte.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "Language.h"
#include "MessageTexts.h"
#include "MessageTranslator.h"

using namespace zanfeld;

namespace {

using I = MessageId;

// Whether text holds a Chinese character or full-width punctuation.
bool HasChinese(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        uint32_t point = c & (0x3F >> (n - 1));
        for (size_t k = 1; k < n && i + k < text.size(); ++k)
            point = point << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        if ((point >= 0x3000 && point <= 0x303F) || (point >= 0x4E00 && point <= 0x9FFF) ||
            (point >= 0xFF00 && point <= 0xFFEF))
            return true;
        i += n;
    }
    return false;
}

class English : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE)); }
    void TearDown() override { LoadTranslation("zh"); }
};

// Each message with the English it reads as. Paths and names that hold the
// table's own separators or words stay whole, and a reason of the table
// within a text is translated in turn.
TEST_F(English, MessagesReadInEnglish) {
    struct Case {
        std::string chinese;
        std::string english;
    };
    const Case cases[] = {
        {"分拣工作完成！", "Sorting finished!"},
        {Format(I::OutsideOutputDir, {"../上级"}),
         "the target folder “../上级” is not inside the output directory"},
        {Format(I::StateUndone, {Format(I::StateStopped)}), "Stopped, undone"},
        {Format(I::RenamedAsName, {"报告_1.pdf"}), "Numbered as 报告_1.pdf"},
        {Format(I::RefusedBecause, {Format(I::ReasonIsFolder)}), "Cannot sort: is a folder"},
        // Plural forms follow the count, the count piece wherever it stands; a
        // count past any integer is kept digit for digit.
        {Format(I::FailedHeading, {"1"}), "1 file could not be sorted:"},
        {Format(I::FailedHeading, {"2"}), "2 files could not be sorted:"},
        {Format(I::CliSizeWithBytes, {"1.5 KB", "1536"}), "1.5 KB (1536 bytes)"},
        {Format(I::FailedHeading, {"123456789012345678901234567890"}),
         "123456789012345678901234567890 files could not be sorted:"},
        // A completion text: failures whose reasons are texts of the table,
        // a path holding the separator, a reason of the system's own and a
        // path that is itself a text of the table.
        {Format(I::SortDone) + "\n\n" + Format(I::FailedHeading, {"12"}) + "\n" +
             Format(I::FailureItem, {"/src/报告：终稿.pdf", Format(I::ReasonNoAccess)}) + "\n" +
             Format(I::FailureItem,
                    {"/src/a（1）.txt",
                     Format(I::CannotMakeFolder, {"/out/大于100KB", Format(I::ReasonReadOnly)})}) +
             "\n" + Format(I::FailureItem, {"/src/x.bin", "Unknown error 4242"}) + "\n" +
             Format(I::FailureItem, {"/src/分拣工作完成！", Format(I::ReasonChanged)}) + "\n" +
             Format(I::MoreFailures) + "\n\n" + Format(I::LostReplaced, {"1"}) + "\n\n" +
             Format(I::JournalUnwritable),
         "Sorting finished!\n\n"
         "12 files could not be sorted:\n"
         "/src/报告：终稿.pdf: permission denied\n"
         "/src/a（1）.txt: cannot make the target folder “/out/大于100KB”: read-only file system\n"
         "/src/x.bin: Unknown error 4242\n"
         "/src/分拣工作完成！: the file was changed or replaced while it was being handled\n"
         "…\n\n"
         "1 replaced file could not be moved to the Trash and can no longer be restored.\n\n"
         "The run could not be recorded; it cannot be undone."},
        // Undo's closing text and its question, whose folder holds the very
        // words that follow it.
        {Format(I::UndoDone) + "\n\n" + Format(I::UndoCounts, {"2", "1", "0", "1"}) + "\n\n" +
             Format(I::UndoKeptHeading, {"3"}) + "\n" +
             Format(I::FailureItem, {"/o/a.txt", Format(I::UndoChanged)}) + "\n" +
             Format(I::FailureItem,
                    {"/o/b.txt",
                     Format(I::UndoCannotMoveBack, {"/s/b：c.txt", Format(I::ReasonNoAccess)})}) +
             "\n" +
             Format(I::FailureItem, {"/o/c.txt", Format(I::UndoCannotRemoveCopy, {"Bad address"})}),
         "Undo finished!\n\n"
         "Files moved back: 2; copies deleted: 1; files restored from the Trash: 0; empty "
         "folders deleted: 1.\n\n"
         "3 files need your attention:\n"
         "/o/a.txt: the file was changed or replaced after the run; not undone\n"
         "/o/b.txt: cannot move back to “/s/b：c.txt”: permission denied\n"
         "/o/c.txt: cannot undo this copy: Bad address"},
        {Format(I::UndoQuestion, {"2026-12-08 09:15:02", "/家/输出”）：", "1", "2", "3"}) + "\n" +
             Format(I::UndoInDoubt, {"1"}) + "\n" + Format(I::UndoLost, {"2"}) + "\n\n" +
             Format(I::UndoAsk),
         "This undoes the run started at 2026-12-08 09:15:02 (output directory “/家/输出”）：”): "
         "files to move back: 1; copies to delete: 2; files to restore from the Trash: 3.\n"
         "1 file was in an unknown state when the run was cut short; it is handled as found on "
         "the disk.\n"
         "2 replaced files cannot be restored.\n\n"
         "Files changed since are left as they are. Continue?"},
        // The status line names its file whole, brackets and all.
        {Format(I::StatusJoinAfterBracket,
                {Format(I::StatusMoving, {"照片（2）"}), Format(I::StatusFolderOf, {"1", "3"})}),
         "Moving 照片（2） · folder 1 of 3"},
        {Format(I::StatusCopying, {""}), "Copying "},
        // Lines outside the table stay as they are: a path and a reason
        // outside a list of failures, a piece that is no number, a composite
        // whose part is unknown, bytes that are no UTF-8.
        {"这不是表中的文字", "这不是表中的文字"},
        {"/a/b：没有权限", "/a/b：没有权限"},
        {"有 三 个文件未能分拣：", "有 三 个文件未能分拣："},
        {"分拣完成：未知", "分拣完成：未知"},
        {"未知 · 第 1 / 2 个文件", "未知 · 第 1 / 2 个文件"},
        {std::string("\xff\xfe\xe6\x96", 4), std::string("\xff\xfe\xe6\x96", 4)},
        {"", ""},
        // Known and unknown lines side by side; the list ends at a blank line.
        {"分拣工作完成！\n其他\n\n有 1 个文件未能分拣：\n/a：x\n\n/b：y",
         "Sorting finished!\n其他\n\n1 file could not be sorted:\n/a: x\n\n/b：y"},
        {"\n分拣工作完成！\n", "\nSorting finished!\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(TranslateMessage(c.chinese), c.english);
}

// A text filled with plain pieces: a path, 7, a reason, and for a piece that
// holds a text of a group the first text of that group, filled in turn.
std::string Filled(const MessageText& t) {
    std::vector<std::string> args;
    for (const char kind : std::string(t.pieces)) {
        if (kind == 'N') {
            args.push_back("7");
        } else if (kind == 'R') {
            args.push_back(Format(I::ReasonNoSpace));
        } else if (kind == 'T') {
            args.push_back("/p/x");
        } else {
            for (const MessageText& member : MessageTexts::all()) {
                if (std::string(member.groups).find(kind) != std::string::npos) {
                    args.push_back(Filled(member));
                    break;
                }
            }
        }
    }
    return MessageTexts::fill(t.text, std::span<const std::string>(args));
}

// Every text of the table is in the catalogue with all its pieces, and
// filled in, comes out with nothing Chinese left and its pieces as they were.
TEST_F(English, EveryTextReadsInEnglish) {
    EXPECT_EQ(TranslationProblems(true), std::vector<std::string>{});
    for (const MessageText& t : MessageTexts::all()) {
        SCOPED_TRACE(t.text);
        std::string before;
        if (t.role == MessageRole::Item) before = Format(I::FailedHeading, {"7"}) + "\n";
        const std::string english = TranslateMessage(before + Filled(t));
        EXPECT_FALSE(HasChinese(english)) << english;
        if (std::string(t.pieces).find('T') != std::string::npos) {
            EXPECT_NE(english.find("/p/x"), std::string::npos) << english;
        }
        if (std::string(t.pieces).find('N') != std::string::npos) {
            EXPECT_NE(english.find('7'), std::string::npos) << english;
        }
    }
}

TEST(BrokenCatalogue, APieceLostIsNeverShown) {
    ASSERT_TRUE(LoadTranslationFile(ZANFELD_BROKEN_CATALOGUE));
    // Renumbered: the text stays Chinese rather than losing what went wrong.
    EXPECT_EQ(TranslateMessage(Format(I::RunInterrupted, {"boom"})), "分拣中断：boom");
    // A singular form may leave out its count.
    EXPECT_EQ(TranslateMessage(Format(I::FailedHeading, {"1"})), "One file could not be sorted:");
    EXPECT_EQ(TranslateMessage(Format(I::FailedHeading, {"4"})), "4 files could not be sorted:");
    // A plural form that adds a piece is not used; its singular is.
    EXPECT_EQ(TranslateMessage(Format(I::UndoLost, {"1"})), "1 replaced file cannot be restored.");
    EXPECT_EQ(TranslateMessage(Format(I::UndoLost, {"2"})), Format(I::UndoLost, {"2"}));
    // Untranslated: as it is.
    EXPECT_EQ(TranslateMessage(Format(I::ReasonNoAccess)), "没有权限");
    const std::vector<std::string> problems = TranslationProblems(false);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "分拣中断：%1 → Sorting interrupted: %2");
    EXPECT_EQ(problems[1],
              "有 %1 个被覆盖的文件不能恢复。 → %1 replaced files cannot be restored from %2.");
    const std::vector<std::string> all = TranslationProblems(true);
    // Every text it leaves untranslated, and the two faults.
    EXPECT_EQ(all.size(), MessageTexts::all().size() - 2);
    LoadTranslation("zh");
}

TEST(Loading, LanguagesAndFiles) {
    // Without a catalogue a message comes back as it is, with nothing amiss.
    ASSERT_TRUE(LoadTranslation("zh"));
    EXPECT_FALSE(TranslationLoaded());
    const std::string text = Format(I::SortDone) + "\n\n" + Format(I::FailedHeading, {"1"}) + "\n" +
                             Format(I::FailureItem, {"/a", Format(I::ReasonNoAccess)});
    EXPECT_EQ(TranslateMessage(text), text);
    EXPECT_TRUE(TranslationProblems(true).empty());
    EXPECT_TRUE(LoadTranslation(""));
    // This test program holds the English catalogue as :/i18n/zanfeld_en.qm.
    EXPECT_EQ(TranslationFile("en"), ":/i18n/zanfeld_en.qm");
    ASSERT_TRUE(LoadTranslation("en"));
    EXPECT_EQ(TranslateMessage("分拣工作完成！"), "Sorting finished!");
    // A catalogue stays loaded when another file cannot be; a language
    // without one unloads it.
    EXPECT_FALSE(LoadTranslationFile("/nonexistent/zanfeld_en.qm"));
    EXPECT_EQ(TranslateMessage("分拣工作完成！"), "Sorting finished!");
    EXPECT_FALSE(LoadTranslation("xx"));
    EXPECT_FALSE(TranslationLoaded());
    EXPECT_EQ(TranslateMessage("分拣工作完成！"), "分拣工作完成！");
    EXPECT_FALSE(LoadTranslationFile("/nonexistent/zanfeld_en.qm"));
    EXPECT_FALSE(TranslationLoaded());
    // Never a path.
    for (const char* bad : {"", "../en", "en/../../etc/x", "EN", "e", "english", "en_", "en_US/x"})
        EXPECT_EQ(TranslationFile(bad), "") << bad;
}

// The status line is one text made of others: a name holding its very
// separators stays whole, and as often as a window redraws it, the line costs
// little and reads the same while the catalogue is loaded again and again.
TEST(Loading, ThreadsTranslateWhileItIsReplaced) {
    ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
    const std::string line = Format(
        I::StatusJoin,
        {Format(I::StatusJoinAfterBracket,
                {Format(I::StatusBytes, {Format(I::StatusCopying, {"a · 第 1 / 2 个文件（1）.mkv"}),
                                         "1.2 GB", "3.0 GB"}),
                 Format(I::StatusFileOf, {"120", "300"})}),
         Format(I::StatusTimeLeft, {"00:42"})});
    const std::string english =
        "Copying a · 第 1 / 2 个文件（1）.mkv (1.2 GB / 3.0 GB) · file 120 of 300 · about 00:42 "
        "left";
    ASSERT_EQ(TranslateMessage(line), english);
    std::atomic<bool> wrong{false};
    const auto begin = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i)
                if (TranslateMessage(line) != english) wrong = true;
        });
    }
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
    for (auto& thread : threads) thread.join();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(10));
    EXPECT_FALSE(wrong);
    LoadTranslation("zh");
}

// A line made to have many ways to be read is read in bounded time, and what
// is shown keeps every byte of its pieces.
TEST(Loading, AMessageMadeToBeSlowIsNot) {
    ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
    std::string path;
    for (int i = 0; i < 3000; ++i) path += "·：”（ · ";
    const std::string text =
        Format(I::FailedHeading, {"1"}) + "\n" +
        Format(I::FailureItem, {path, Format(I::UndoCannotMoveBack, {path, path})});
    const auto start = std::chrono::steady_clock::now();
    const std::string shown = TranslateMessage(text);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_NE(shown.find(path), std::string::npos);
    LoadTranslation("zh");
}

// PreferredLanguage in a child process of its own, under env alone: the
// system locale is read once in a process.
std::string LanguageUnder(const std::vector<std::pair<const char*, const char*>>& env) {
    int fds[2];
    if (pipe(fds) != 0) return "pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(name);
        for (const auto& [name, value] : env) setenv(name, value, 1);
        const std::string language = PreferredLanguage();
        const ssize_t written = write(fds[1], language.data(), language.size());
        _exit(written == static_cast<ssize_t>(language.size()) ? 0 : 1);
    }
    close(fds[1]);
    std::string out;
    char buffer[64];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "failed";
}

TEST(PreferredLanguage, EnglishOnlyWhenNamedBeforeChinese) {
    using Env = std::vector<std::pair<const char*, const char*>>;
    const std::pair<Env, std::string> cases[] = {
        {{}, "zh"},
        {{{"LANG", "C"}}, "zh"},
        {{{"LANG", "POSIX"}}, "zh"},
        // LANGUAGE counts for nothing under the C locale.
        {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "en"}}, "zh"},
        {{{"LANG", "en_US.UTF-8"}}, "en"},
        {{{"LANG", "zh_CN.UTF-8"}}, "zh"},
        {{{"LANG", "de_DE.UTF-8"}}, "zh"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "de:en:zh"}}, "en"},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "zh_CN:en"}}, "zh"},
        {{{"LANG", "zh_CN.UTF-8"}, {"LANGUAGE", "en_US:zh_CN"}}, "en"},
        {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "de"}}, "en"},
        {{{"LANG", "zh_CN.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}, "en"},
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "zh_TW.UTF-8"}}, "zh"},
        {{{"LANG", "en_US.UTF-8"}, {"LC_ALL", "C"}}, "zh"},
    };
    for (const auto& [env, expected] : cases) {
        std::string named;
        for (const auto& [name, value] : env) named += std::string(name) + "=" + value + " ";
        EXPECT_EQ(LanguageUnder(env), expected) << named;
    }
}

}  // namespace
