// zanfeld-cli in English: --lang, the default from the user's languages, the
// catalogue found beside the installed program, and what stays as it is
// (JSON, paths, the folders a run makes).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "CliParser.h"
#include "FileChecks.h"
#include "MessageTranslator.h"
#include "TempDir.h"
#include "TerminalHost.h"

extern char** environ;

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
};

class CliLanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The program as installed: <prefix>/bin beside
        // <prefix>/share/zanfeld/translations.
        namespace fs = std::filesystem;
        fs::create_directories(m_dir / "prefix/bin");
        fs::create_directories(m_dir / "prefix/share/zanfeld/translations");
        fs::copy_file(ZANFELD_CLI_BARE, m_dir / "prefix/bin/zanfeld-cli");
        fs::copy_file(ZANFELD_TEST_CATALOGUE,
                      m_dir / "prefix/share/zanfeld/translations/zanfeld_en.qm");
        m_program = m_dir / "prefix/bin/zanfeld-cli";
        WriteFile(m_dir / "src/big.dat", std::string(200 * 1024, 'x'));
        WriteFile(m_dir / "src/small.dat", "x");
    }

    // Runs program with args under an environment of its own plus env.
    Ran Run(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
            const std::string& program = {}) {
        std::vector<std::string> words = {program.empty() ? m_program : program};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<std::string> vars = {
            "HOME=" + m_dir / "home", "XDG_STATE_HOME=" + m_dir / "state",
            "XDG_DATA_HOME=" + m_dir / "data", "XDG_CONFIG_HOME=" + m_dir / "config",
            "PATH=/usr/bin:/bin"};
        vars.insert(vars.end(), env.begin(), env.end());
        std::vector<char*> argv, envp;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        for (std::string& v : vars) envp.push_back(v.data());
        envp.push_back(nullptr);

        const std::string out = m_dir / "stdout", err = m_dir / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t child = 0;
        Ran ran;
        if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
            int status = 0;
            waitpid(child, &status, 0);
            ran.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ran.out = ReadFile(out);
        ran.err = ReadFile(err);
        return ran;
    }

    std::vector<std::string> SizeSort(const std::string& out) {
        return {"sort",
                "--by",
                "size",
                "--size",
                ">100",
                "--out",
                m_dir / out,
                m_dir / "src/big.dat",
                m_dir / "src/small.dat"};
    }

    static std::vector<std::string> Plus(std::vector<std::string> a,
                                         const std::vector<std::string>& b) {
        a.insert(a.begin(), b.begin(), b.end());
        return a;
    }

    TempDir m_dir;
    std::string m_program;
};

constexpr char kEnglishSummary[] =
    "Sorting finished: placed 1, skipped 0, renamed 0, overwritten 0, failed 0\n";
constexpr char kChineseSummary[] =
    "分拣完成：已放置 1 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 0 个\n";

TEST_F(CliLanguageTest, LangEnglishWritesEnglishAndMakesTheSameFolders) {
    const Ran ran = Run(Plus(SizeSort("out"), {"--lang", "en"}));
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.err, "Sorting finished!\n");
    EXPECT_EQ(ran.out, kEnglishSummary);
    EXPECT_EQ(Names(m_dir / "out"), std::vector<std::string>{"大于100KB"});
    EXPECT_TRUE(IsFile(m_dir / "out/大于100KB/big.dat"));
}

TEST_F(CliLanguageTest, TheDefaultFollowsTheUsersLanguages) {
    Ran ran = Run(SizeSort("a"), {"LANG=en_US.UTF-8"});
    EXPECT_EQ(ran.err, "Sorting finished!\n");
    EXPECT_EQ(ran.out, kEnglishSummary);
    ran = Run(SizeSort("b"), {"LANG=en_US.UTF-8", "LANGUAGE=zh_CN:en"});
    EXPECT_EQ(ran.err, "分拣工作完成！\n");
    EXPECT_EQ(ran.out, kChineseSummary);
    ran = Run(SizeSort("c"), {"LANG=C", "LANGUAGE=en"});
    EXPECT_EQ(ran.err, "分拣工作完成！\n");
    ran = Run(SizeSort("d"), {});
    EXPECT_EQ(ran.err, "分拣工作完成！\n");
    // --lang before anything the environment says.
    ran = Run(Plus(SizeSort("e"), {"--lang", "zh"}), {"LANG=en_US.UTF-8"});
    EXPECT_EQ(ran.err, "分拣工作完成！\n");
    EXPECT_EQ(ran.out, kChineseSummary);
    for (const char* out : {"a", "b", "c", "d", "e"})
        EXPECT_EQ(Names(m_dir / out), std::vector<std::string>{"大于100KB"}) << out;
}

TEST_F(CliLanguageTest, LangIsAnOptionBeforeTheCommandAndTakesZhOrEn) {
    EXPECT_EQ(Run(Plus(SizeSort("out"), {"--lang", "fr"})).status, 2);
    std::vector<std::string> after = SizeSort("out");
    after.insert(after.begin() + 1, {"--lang", "en"});
    EXPECT_EQ(Run(after).status, 2);
    EXPECT_FALSE(IsDir(m_dir / "out"));

    std::ostringstream out, err;
    const char* argv[] = {"zanfeld-cli", "--lang", "en", "history"};
    const ParsedLine line = ParseCommandLine(4, argv, out, err);
    EXPECT_FALSE(line.done) << err.str();
    ASSERT_TRUE(line.request.language);
    EXPECT_EQ(*line.request.language, "en");
}

// The program run where no catalogue lies beside it: --lang en says so and
// the messages stay Chinese; a default of English says nothing.
TEST_F(CliLanguageTest, WithoutACatalogueTheMessagesStayChinese) {
    Ran ran = Run(Plus(SizeSort("a"), {"--lang", "en"}), {}, ZANFELD_CLI_BARE);
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(ran.err,
              "zanfeld-cli: --lang en: no catalogue of that language was found; the messages stay "
              "Chinese\n分拣工作完成！\n");
    EXPECT_EQ(ran.out, kChineseSummary);
    ran = Run(SizeSort("b"), {"LANG=en_US.UTF-8"}, ZANFELD_CLI_BARE);
    EXPECT_EQ(ran.err, "分拣工作完成！\n");
}

// The program as built carries the catalogue inside: English with nothing
// beside it, and the folders as in Chinese.
TEST_F(CliLanguageTest, TheBuiltProgramCarriesItsCatalogue) {
    Ran ran = Run(Plus(SizeSort("a"), {"--lang", "en"}), {}, ZANFELD_CLI);
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.err, "Sorting finished!\n");
    EXPECT_EQ(ran.out, kEnglishSummary);
    ran = Run(SizeSort("b"), {"LANG=en_US.UTF-8"}, ZANFELD_CLI);
    EXPECT_EQ(ran.err, "Sorting finished!\n");
    ran = Run(SizeSort("c"), {}, ZANFELD_CLI);
    EXPECT_EQ(ran.err, "分拣工作完成！\n");
    for (const char* out : {"a", "b", "c"})
        EXPECT_EQ(Names(m_dir / out), std::vector<std::string>{"大于100KB"}) << out;
}

TEST_F(CliLanguageTest, RefusalsPlansAndJson) {
    // A refusal by the engine names the option; JSON keeps the engine's words.
    Ran ran = Run({"--lang", "en", "sort", "--by", "keys", "--keywords", " ", "--out",
                   m_dir / "out", "--json", m_dir / "src/small.dat"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.err, "zanfeld-cli: Please enter the keywords to match! (--keywords)\n");
    EXPECT_NE(ran.out.find("\"message\":\"请输入匹配关键字!\""), std::string::npos) << ran.out;

    ran = Run({"--lang", "en", "sort", "--by", "type", "--out", m_dir / "out", "--dry-run",
               m_dir / "src/small.dat", m_dir / "src/big.dat"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out, "Copy\t" + m_dir / "src/small.dat" + "\t" + m_dir / "out/.dat/small.dat\n" +
                           "Copy\t" + m_dir / "src/big.dat" + "\t" + m_dir / "out/.dat/big.dat\n");
    EXPECT_EQ(ran.err, "Preview: Copy 2\n");
}

TEST_F(CliLanguageTest, HistoryAndUndo) {
    ASSERT_EQ(Run(SizeSort("out")).status, 0);
    Ran ran = Run({"--lang", "en", "history"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_NE(ran.out.find("\tFiles\tBy file size\tCopy\t" + m_dir / "out/" +
                           "\tplaced 1, skipped 0, renamed 0, overwritten 0, failed 0\tFinished\n"),
              std::string::npos)
        << ran.out;

    ran = Run({"--lang", "en", "undo", "--dry-run"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ran.out.rfind("This undoes the run started at ", 0), 0u) << ran.out;
    EXPECT_NE(ran.out.find("(output directory “" + m_dir / "out/" +
                           "”): files to move back: 0; copies to delete: 1; files to restore "
                           "from the Trash: 0.\n\nFiles changed since are left as they are.\n"),
              std::string::npos)
        << ran.out;

    ran = Run({"--lang", "en", "undo", "--yes"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    // The run made the output directory and its folder: both go.
    EXPECT_EQ(ran.err,
              "Undo finished!\n\nFiles moved back: 0; copies deleted: 1; files restored from the "
              "Trash: 0; empty folders deleted: 2.\n");
    EXPECT_FALSE(IsDir(m_dir / "out"));
    ran = Run({"--lang", "en", "undo"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.err, "There is no run that can be undone.\n");
}

// The same-name question, its sizes and times read as the table's texts.
TEST_F(CliLanguageTest, TheQuestionReadsInEnglish) {
    WriteFile(m_dir / "old.txt", "abc", 1700000000);
    WriteFile(m_dir / "new.txt", std::string(2000, 'x'), 1800000000);
    ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
    const std::string english =
        TranslateMessage(TerminalHost::question(m_dir / "old.txt", m_dir / "new.txt"));
    LoadTranslation("zh");
    const std::string first = "The file " + m_dir / "old.txt" + " exists already. Replace it?\n";
    ASSERT_EQ(english.rfind(first, 0), 0u) << english;
    const std::string rest = english.substr(first.size());
    EXPECT_EQ(rest.rfind("  Existing file: 3 bytes, 20", 0), 0u) << english;
    EXPECT_NE(rest.find("\n  New file:      2.0 KB (2000 bytes), 20"), std::string::npos)
        << english;
    EXPECT_EQ(rest.substr(rest.size() - 8), " (newer)") << english;
    EXPECT_EQ(rest.find("(newer)"), rest.rfind("(newer)")) << english;
}

}  // namespace
