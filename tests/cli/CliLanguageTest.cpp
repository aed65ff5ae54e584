// zanfeld-cli in English: --lang, the default from the user's languages, the
// catalogue carried inside or found beside the installed program, and what
// stays as it is (JSON, paths, the folders a run makes).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "FileChecks.h"
#include "MessageTranslator.h"
#include "TempDir.h"
#include "TerminalHost.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

constexpr char kEnglishSummary[] =
    "Sorting finished: placed 1, skipped 0, renamed 0, overwritten 0, failed 0\n";
constexpr char kChineseSummary[] =
    "分拣完成：已放置 1 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 0 个\n";

class CliLanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The program as installed: <prefix>/bin beside
        // <prefix>/share/zanfeld/translations.
        namespace fs = std::filesystem;
        fs::create_directories(m_box / "prefix/bin");
        fs::create_directories(m_box / "prefix/share/zanfeld/translations");
        fs::copy_file(ZANFELD_CLI_BARE, m_installed);
        fs::copy_file(ZANFELD_TEST_CATALOGUE,
                      m_box / "prefix/share/zanfeld/translations/zanfeld_en.qm");
        m_box.write("src/big.dat", std::string(200 * 1024, 'x'));
        m_box.write("src/small.dat", "x");
    }

    // Runs program with none of the test's own language variables, only env's.
    CliResult Run(const std::vector<std::string>& args,
                  const std::vector<std::pair<std::string, std::string>>& env = {},
                  const std::string& program = {}) const {
        CliProcess::Setup setup = m_box.setup(args);
        setup.program = program.empty() ? m_installed : program;
        setup.unset = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
        setup.env.insert(setup.env.end(), env.begin(), env.end());
        return RunProgram(setup);
    }

    // Sorts the two files by size into out, lang options first.
    std::vector<std::string> SizeSort(const std::string& out,
                                      std::vector<std::string> lang = {}) const {
        lang.insert(lang.end(), {"sort", "--by", "size", "--size", ">100", "--out", m_box / out,
                                 m_box / "src/big.dat", m_box / "src/small.dat"});
        return lang;
    }

    CliSandbox m_box{ZANFELD_CLI};
    const std::string m_installed = m_box / "prefix/bin/zanfeld-cli";
};

TEST_F(CliLanguageTest, TheLanguageOfTheMessagesAndTheSameFolders) {
    const std::string installed, built = ZANFELD_CLI, bare = ZANFELD_CLI_BARE;
    const struct {
        std::string program;  // empty: installed with the catalogue beside it
        std::vector<std::string> lang;
        std::vector<std::pair<std::string, std::string>> env;
        bool english;
        bool warned = false;  // that no catalogue was found
    } cases[] = {
        {installed, {"--lang", "en"}, {}, true},
        {installed, {}, {{"LANG", "en_US.UTF-8"}}, true},
        {installed, {}, {{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "zh_CN:en"}}, false},
        // As with gettext, a C locale leaves LANGUAGE unread.
        {installed, {}, {{"LANG", "C"}, {"LANGUAGE", "en"}}, false},
        {installed, {}, {}, false},
        // --lang before anything the environment says.
        {installed, {"--lang", "zh"}, {{"LANG", "en_US.UTF-8"}}, false},
        // The program as built carries the catalogue inside.
        {built, {"--lang", "en"}, {}, true},
        {built, {}, {{"LANG", "en_US.UTF-8"}}, true},
        {built, {}, {}, false},
        // No catalogue anywhere: --lang en says so, an English default does not.
        {bare, {"--lang", "en"}, {}, false, true},
        {bare, {}, {{"LANG", "en_US.UTF-8"}}, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string out = "out" + std::to_string(++n);
        SCOPED_TRACE(out);
        const CliResult r = Run(SizeSort(out, c.lang), c.env, c.program);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, std::string(c.warned ? "zanfeld-cli: --lang en: no catalogue of that "
                                                "language was found; the messages stay Chinese\n"
                                              : "") +
                             (c.english ? "Sorting finished!\n" : "分拣工作完成！\n"));
        EXPECT_EQ(r.out, c.english ? kEnglishSummary : kChineseSummary);
        EXPECT_EQ(Names(m_box / out), std::vector<std::string>{"大于100KB"});
        EXPECT_TRUE(IsFile(m_box / (out + "/大于100KB/big.dat")));
    }
    // --lang comes before the command and takes zh or en.
    EXPECT_EQ(Run(SizeSort("fr", {"--lang", "fr"})).exitCode, 2);
    std::vector<std::string> after = SizeSort("after");
    after.insert(after.begin() + 1, {"--lang", "en"});
    EXPECT_EQ(Run(after).exitCode, 2);
    EXPECT_FALSE(IsDir(m_box / "fr"));
    EXPECT_FALSE(IsDir(m_box / "after"));
}

TEST_F(CliLanguageTest, RefusalsPlansHistoryAndUndo) {
    // A refusal by the engine names the option; JSON keeps the engine's words.
    CliResult r = Run({"--lang", "en", "sort", "--by", "keys", "--keywords", " ", "--out",
                       m_box / "out", "--json", m_box / "src/small.dat"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "zanfeld-cli: Please enter the keywords to match! (--keywords)\n");
    EXPECT_TRUE(Contains(r.out, "\"message\":\"请输入匹配关键字!\"")) << r.out;

    // The parser's refusals and the program's own, in English however it was chosen.
    const std::string hint = "Run with --help for more information.\n";
    const std::string list = m_box / "empty.lst", file = m_box / "src/small.dat";
    m_box.write("empty.lst", "");
    const std::pair<std::string, std::string> langs[] = {{"--lang", "en"}, {"LANG", "en_US.UTF-8"}};
    const struct {
        std::vector<std::string> args;
        std::string err;
    } refusals[] = {
        {{"sort", "--bogus"}, "zanfeld-cli: Unknown option: --bogus\n" + hint},
        {{"sort", "--by", "colour"},
         "zanfeld-cli: --by: “colour” is not one of the choices (keys, name, type, size, date, "
         "picture, taken)\n" +
             hint},
        {{"sort", "--copy", "--move"},
         "zanfeld-cli: --copy and --move cannot be used together\n" + hint},
        {{"sort", "--out"}, "zanfeld-cli: --out needs a value\n" + hint},
        {{"frob"},
         "zanfeld-cli: Unknown command: frob (the commands are sort, sort-folders, undo "
         "and history)\n" +
             hint},
        {{"history", "--limit", "-1"},
         "zanfeld-cli: --limit: expected a whole number of 0 or more, not “-1”\n" + hint},
        {{"sort", "--by", "name", "--range", "3:1", "--out", "out", file},
         "zanfeld-cli: --range: the first character (3) comes after the last (1)\n"},
        {{"sort", "--by", "type", "--out", file, file},
         "zanfeld-cli: “" + file + "” cannot be the output directory: not a folder (--out)\n"},
        {{"sort", "--by", "size", "--size", "12", "--out", "out", file},
         "zanfeld-cli: --size: expected >N or <N with N in KB or MB, e.g. '>10MB', not '12'\n"},
        {{"sort", "--by", "type", "--out", "out", m_box / "nope"},
         "zanfeld-cli: FILE: there is no file " + m_box / "nope" + "\n"},
        {{"sort", "--by", "type", "--out", "out", "--list", list},
         "zanfeld-cli: There are no files to sort! The list “" + list +
             "” holds no paths: it is empty or not a text file. (--list)\n"},
    };
    for (const auto& [name, value] : langs) {
        for (const auto& c : refusals) {
            std::vector<std::string> args = c.args;
            std::vector<std::pair<std::string, std::string>> env;
            if (name == "--lang")
                args.insert(args.begin(), {name, value});
            else
                env.emplace_back(name, value);
            r = Run(args, env);
            EXPECT_EQ(r.exitCode, 2) << name << " " << c.args[0];
            EXPECT_EQ(r.err, c.err) << name;
        }
    }

    r = Run({"--lang", "en", "sort", "--by", "type", "--out", m_box / "out", "--dry-run",
             m_box / "src/small.dat", m_box / "src/big.dat"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Copy\t" + m_box / "src/small.dat" + "\t" + m_box / "out/.dat/small.dat\n" +
                         "Copy\t" + m_box / "src/big.dat" + "\t" + m_box / "out/.dat/big.dat\n");
    EXPECT_EQ(r.err, "Preview: Copy 2\n");

    ASSERT_EQ(Run(SizeSort("out")).exitCode, 0);
    r = Run({"--lang", "en", "history"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "\tFiles\tBy file size\tCopy\t" + m_box / "out/" +
                                    "\tplaced 1, skipped 0, renamed 0, overwritten 0, failed "
                                    "0\tFinished\n"))
        << r.out;
    r = Run({"--lang", "en", "undo", "--dry-run"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("This undoes the run started at ", 0), 0u) << r.out;
    EXPECT_TRUE(Contains(r.out, "copies to delete: 1;")) << r.out;
    r = Run({"--lang", "en", "undo", "--yes"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // The run made the output directory and its folder: both go.
    EXPECT_EQ(r.err,
              "Undo finished!\n\nFiles moved back: 0; copies deleted: 1; files restored from the "
              "Trash: 0; empty folders deleted: 2.\n");
    EXPECT_FALSE(IsDir(m_box / "out"));
    r = Run({"--lang", "en", "undo"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "There is no run that can be undone.\n");
}

// The same-name question, its sizes and times read as the table's texts, and
// "(newer)" on the newer file only.
TEST_F(CliLanguageTest, TheQuestionReadsInEnglish) {
    m_box.write("old.txt", "abc", 1700000000);
    m_box.write("new.txt", std::string(2000, 'x'), 1800000000);
    ASSERT_TRUE(LoadTranslationFile(ZANFELD_TEST_CATALOGUE));
    const std::string english =
        TranslateMessage(TerminalHost::question(m_box / "old.txt", m_box / "new.txt"));
    LoadTranslation("zh");
    const std::string first = "The file " + m_box / "old.txt" + " exists already. Replace it?\n";
    ASSERT_EQ(english.rfind(first, 0), 0u) << english;
    const std::string rest = english.substr(first.size());
    EXPECT_EQ(rest.rfind("  Existing file: 3 bytes, 20", 0), 0u) << english;
    EXPECT_TRUE(Contains(rest, "\n  New file:      2.0 KB (2000 bytes), 20")) << english;
    EXPECT_EQ(rest.substr(rest.size() - 8), " (newer)") << english;
    EXPECT_EQ(Occurrences(rest, "(newer)"), 1u) << english;
}

}  // namespace
