// The built zanfeld-cli as a script runs it: refused lines, the JSON result
// with its failures, the progress line, help and version.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "MiniJson.h"
#include "TempDir.h"

using namespace zanfeld::test;

namespace {

// The reader the program tests rely on must be strict, or a malformed
// object would pass them.
TEST(CliMiniJsonTest, ReadsEscapesAndGivesLoneSurrogatesBackAsBytes) {
    const Json j = Json::parse(
        R"( {"p":"a\udcff\udc80\u00e9\ud83d\ude00\t\"\\\/","n":[1,-2.5e3,true,null]} )");
    EXPECT_EQ(j["p"].string(), "a\xff\x80\xc3\xa9\xf0\x9f\x98\x80\t\"\\/");
    EXPECT_EQ(j["n"][0].integer(), 1);
    EXPECT_THROW(j["n"][1].integer(), std::runtime_error);
    EXPECT_TRUE(j["n"][2].boolean());
    EXPECT_TRUE(j["n"][3].isNull());
    for (const char* bad : {"{\"a\":\"\t\"}", "\"\\udc41\"", "\"\\ud800\"", "\"\xff\"", "{} {}",
                            "[1,]", "{\"a\" 1}", "01"})
        EXPECT_THROW(Json::parse(bad), std::runtime_error) << bad;
}

class CliProgramTest : public ::testing::Test {
  protected:
    std::string P(const std::string& relative) const { return m_box / relative; }

    CliSandbox m_box{ZANFELD_CLI};
};

// Each kind of refusal: the parser's own, an option of another page, a value
// the program or the run's own checks refuse, a source that is not there.
// Which values each check refuses is the unit tests' matter.
TEST_F(CliProgramTest, ARefusedLineNamesWhatIsWrongWritesNothingAndGivesJson) {
    m_box.write("src/a.txt", "a");
    MakeDir(P("empty"));
    MakeDir(P("nofolders"));
    MakeDir(P("dirs/one"));
    m_box.write("empty.lst", "");
    m_box.write("binary.lst", std::string("\0\x01\xff\xfe", 4) + P("src/a.txt"));
    m_box.write("gone.lst", P("src/gone.txt") + "\n" + P("dirs") + "\n");
    const auto sort = [](std::vector<std::string> args) {
        args.insert(args.begin(), "sort");
        args.insert(args.end(), {"--out", "out", "src/a.txt"});
        return args;
    };
    const struct {
        std::vector<std::string> args;
        const char* named;  // what stderr must name
    } cases[] = {
        {sort({"--by", "type", "--bogus"}), "不认识的选项：--bogus"},
        {sort({}), "--by"},
        {sort({"--by", "colour"}), "--by：“colour”不是可选的值"},
        {{"sort", "--by"}, "--by 后面缺少值"},
        {{"frob", "--by", "type"}, "不认识的命令：frob"},
        {sort({"--by", "type", "--size", ">1"}), "--size"},
        {sort({"--by", "name", "--date-of", "modified"}), "--date-of"},
        {sort({"--by", "size", "--width", ">=1"}), "--width"},
        {sort({"--by", "size", "--size", ">10GB"}), "--size"},
        {sort({"--by", "size", "--size", "<99999999999999999999"}), "（--size）"},
        {sort({"--by", "date", "--date", "<2015-02-30"}), "--date"},
        {sort({"--by", "date", "--date", "<2015-05-06", "--date-of", "born"}), "--date-of"},
        {sort({"--by", "picture", "--height", ">=x"}), "--height"},
        {sort({"--by", "name", "--range", "a:3"}), "--range"},
        {sort({"--by", "name", "--range", "3:1"}),
         "--range：第一个字符（3）在最后一个字符（1）之后"},
        {sort({"--by", "type", "--include", ""}), "--include"},
        {sort({"--by", "type", "--exclude", "a/b"}), "--exclude"},
        {sort({"--by", "type", "--same", "maybe"}), "--same"},
        {sort({"--by", "type", "--copy", "--move"}), "--copy 和 --move 不能同时使用"},
        {sort({"--by", "type", "--depth", "1"}), "--depth"},
        {sort({"--by", "type", "--all"}), "--all"},
        {sort({"--by", "type", "--walk", "nowhere"}), "--walk"},
        {sort({"--by", "type", "--list", "nothing.lst"}), "--list"},
        {sort({"--by", "type", "--list", "dirs"}), "dirs"},
        {{"sort", "--by", "type", "--out", "out", "--list", "empty.lst"}, "empty.lst”中没有路径"},
        {{"sort", "--by", "type", "--out", "out", "--list", "binary.lst"}, "binary.lst”中没有路径"},
        {{"sort", "--by", "type", "--out", "out", "--list", "gone.lst"},
         "gone.lst”中的路径都不是现有的文件。（--list）"},
        {sort({"--by", "type", "src/missing.txt"}), "src/missing.txt"},
        {sort({"--by", "keys", "--keywords", "  "}), "请输入匹配关键字!（--keywords）"},
        {{"sort", "--by", "type", "src/a.txt"}, "请选择分拣结果输出目录！（--out）"},
        {{"sort", "--by", "type", "--out", "  ", "src/a.txt"}, "--out"},
        // What cannot be an output directory is refused before the run, not file by file.
        {{"sort", "--by", "type", "--out", "src/a.txt", "src/a.txt"},
         "不能作为输出目录：不是文件夹"},
        {{"sort", "--by", "type", "--out", "src/a.txt/sub", "--dry-run", "src/a.txt"},
         "a.txt”不是文件夹（--out）"},
        {{"sort", "--by", "type", "--out", "/proc/zanfeld-out", "src/a.txt"}, "虚拟文件系统"},
        {{"sort-folders", "--by", "keys", "--keywords", "o", "--out", "src/a.txt", "dirs"},
         "--out"},
        {{"sort", "--by", "type", "--out", "out", "--walk", "empty"}, "没有需要分拣的文件!"},
        {{"sort-folders", "--by", "type", "--out", "out", "dirs"}, "--by"},
        {{"sort-folders", "--by", "keys", "--keywords", "o", "--move", "--out", "out", "dirs"},
         "--move"},
        {{"sort-folders", "--by", "keys", "--keywords", "o", "--out", "out", "src/a.txt"},
         "src/a.txt"},
        {{"sort-folders", "--by", "name", "--subfolders", "nowhere", "--out", "out"},
         "--subfolders"},
        {{"sort-folders", "--by", "name", "--out", "out", "--subfolders", "nofolders"},
         "没有需要分拣的文件夹（目录）!"},
        {{"history", "--limit", "-1"}, "--limit：应为不小于 0 的整数，而不是“-1”"},
        {{"undo", "zero"}, "zero"},
        {{"undo", "1", "2", "3"}, "多余的参数：2 3"},
    };
    const auto before = m_box.files();
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += a + " ";
        SCOPED_TRACE(line);
        CliResult r = m_box.run(c.args);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(Contains(r.err, c.named)) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(TreeDifference(m_box.files(), before), "");

        // A script that asks for JSON reads one object with the refusal
        // stderr gives, its option apart where the run names one.
        std::vector<std::string> json = c.args;
        json.push_back("--json");
        r = m_box.run(json);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        try {
            const Json j = Json::parse(r.out);
            EXPECT_TRUE(j["refused"].boolean());
            EXPECT_EQ(j["exit"].integer(), 2);
            std::string said = r.err.substr(0, r.err.find('\n'));
            if (said.rfind("zanfeld-cli: ", 0) == 0) said.erase(0, 13);
            const std::string message = j["message"].string();
            if (j["option"].isNull()) {
                EXPECT_EQ(said, message);
            } else {
                const std::string option = j["option"].string();
                EXPECT_TRUE(said == message || said == message + "（" + option + "）")
                    << "stderr: " << said << "\nJSON: " << r.out;
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << "no JSON object (" << e.what() << "); stdout: \"" << r.out
                          << "\" stderr: " << r.err;
        }
        EXPECT_EQ(TreeDifference(m_box.files(), before), "");
    }
    // No refused run is in the journal.
    EXPECT_EQ(m_box.history().size(), 0u);
    // A missing output directory is made, with the folders above it.
    EXPECT_EQ(m_box.run({"sort", "--by", "type", "--out", "new/out", "src/a.txt"}).exitCode, 0);
    EXPECT_EQ(m_box.read("new/out/.txt/a.txt"), "a");
}

TEST_F(CliProgramTest, JsonGivesCountsRunAndEveryFailureWithItsBytes) {
    // A plain file where the .txt folder would go: every .txt fails.
    m_box.write("out/.txt", "in the way");
    const std::string odd = "src/bad\xff\xfe name\x01.txt";
    m_box.write(odd, "odd");
    m_box.write("src/fine.doc", "fine");
    std::vector<std::string> args{"sort", "--by", "type", "--out", "out", odd, "src/fine.doc"};
    // More failures than the closing message lists.
    for (int i = 0; i < 11; ++i) {
        const std::string name = "src/many" + std::to_string(i) + ".txt";
        m_box.write(name, "m");
        args.push_back(name);
    }
    args.push_back("--json");
    CliResult r = m_box.run(args);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["command"].string(), "sort");
    EXPECT_FALSE(j["stopped"].boolean());
    EXPECT_EQ(j["counts"]["placed"].integer(), 1);
    EXPECT_EQ(j["counts"]["failed"].integer(), 12);
    EXPECT_EQ(j["exit"].integer(), 1);
    ASSERT_EQ(j["failures"].size(), 12u);
    EXPECT_EQ(j["failures"][0]["path"].string(), P(odd));
    EXPECT_FALSE(j["failures"][0]["reason"].string().empty());
    EXPECT_EQ(j["failures"][11]["path"].string(), P("src/many10.txt"));
    EXPECT_EQ(m_box.read("out/.txt"), "in the way");
    EXPECT_EQ(m_box.read("out/.doc/fine.doc"), "fine");
    // The history knows the run by the same number.
    const Json runs = m_box.history();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]["run"].integer(), j["run"].integer());
    EXPECT_EQ(runs[0]["counts"]["failed"].integer(), 12);

    // Without --json: the summary on standard output, then every failure
    // the closing message left out, one a line, the name escaped.
    args.pop_back();
    r = m_box.run(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(
        r.out.rfind("分拣完成：已放置 0 个，跳过 1 个，改名 0 个，覆盖 0 个，失败 12 个\n", 0), 0u)
        << r.out;
    EXPECT_TRUE(Contains(r.out, P("src/bad\xff\xfe name\\x01.txt") + "：")) << r.out;
    for (int i = 0; i < 11; ++i)
        EXPECT_TRUE(Contains(r.out, P("src/many" + std::to_string(i) + ".txt") + "：")) << i;
    EXPECT_TRUE(Contains(r.err, "有 12 个文件未能分拣")) << r.err;
    EXPECT_FALSE(Contains(r.err, "\x01")) << "a control byte reached the terminal";

    // --quiet: a run with failures tells all of it on standard error.
    args.push_back("--quiet");
    r = m_box.run(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Contains(r.err, "有 12 个文件未能分拣")) << r.err;
    EXPECT_TRUE(
        Contains(r.err, "\n分拣完成：已放置 0 个，跳过 1 个，改名 0 个，覆盖 0 个，失败 12 个\n"))
        << r.err;
    EXPECT_TRUE(Contains(r.err, P("src/many10.txt") + "：")) << r.err;
}

// The columns a line of ASCII and Chinese takes on a terminal.
size_t Columns(const std::string& text) {
    size_t columns = 0;
    for (const unsigned char c : text) columns += c < 0x80 ? 1 : c >= 0xC0 ? 2 : 0;
    return columns;
}

TEST_F(CliProgramTest, TheProgressLineIsDrawnOnlyOnATerminalAndFitsIt) {
    const std::string longName = "src/" + std::string(60, 'n') + ".bin";
    m_box.write(longName, std::string(3 << 20, 'x'));
    m_box.write("src/b.bin", "b");
    const std::vector<std::string> args{"sort", "--by",   "type",     "--out",
                                        "out",  longName, "src/b.bin"};
    CliProcess::Setup setup = m_box.setup(args, CliInput::Terminal);
    setup.errOnTerminal = true;
    setup.columns = 40;
    CliResult r = RunProgram(setup);
    EXPECT_EQ(r.exitCode, 0) << r.terminal;
    EXPECT_TRUE(Contains(r.terminal, "\r\033[K正在复制 nnnn")) << r.terminal;
    // Every drawing keeps within the width, one column spare.
    const std::string draw = "\r\033[K";
    for (size_t at = r.terminal.find(draw); at != std::string::npos;
         at = r.terminal.find(draw, at + 1)) {
        const size_t start = at + draw.size();
        const std::string line =
            r.terminal.substr(start, r.terminal.find_first_of("\r\n", start) - start);
        EXPECT_LE(Columns(line), 39u) << line;
    }
    // The line is gone before the closing message; the summary is on stdout.
    EXPECT_TRUE(Contains(r.terminal, draw + "分拣工作完成！")) << r.terminal;
    EXPECT_EQ(r.out, "分拣完成：已放置 2 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 0 个\n");

    // An undo's line tells what undo does, not what the run did.
    CliProcess::Setup undo = m_box.setup({"undo", "--yes"}, CliInput::Terminal);
    undo.errOnTerminal = true;
    undo.columns = 40;
    r = RunProgram(undo);
    EXPECT_EQ(r.exitCode, 0) << r.terminal;
    EXPECT_TRUE(Contains(r.terminal, draw + "正在撤销 ")) << r.terminal;
    EXPECT_FALSE(Contains(r.terminal, "正在复制")) << r.terminal;

    // --quiet: no progress line, and a run that placed everything says nothing.
    std::filesystem::remove_all(P("out"));
    setup.args.push_back("--quiet");
    r = RunProgram(setup);
    EXPECT_EQ(r.exitCode, 0) << r.terminal;
    EXPECT_EQ(r.terminal, "");
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(IsFile(P("out/.bin/b.bin")));

    std::filesystem::remove_all(P("out"));
    r = m_box.run(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Contains(r.err, "\033[")) << r.err;
}

// Each command's help offers what it takes and nothing another command
// takes (which it would refuse).
TEST_F(CliProgramTest, HelpAndVersion) {
    const struct {
        std::vector<std::string> args;
        std::vector<const char*> listed;
        std::vector<const char*> notListed;
    } cases[] = {
        {{"--help"}, {"sort-folders", "undo", "history", "--version"}, {}},
        {{"sort", "--help"}, {"--walk", "--move", "--dry-run"}, {"--subfolders", "--limit"}},
        {{"sort-folders", "--help"}, {"--subfolders", "--same"}, {"--move", "--walk", "--size"}},
        {{"undo", "--help"}, {"--yes", "--dry-run"}, {"--out"}},
        {{"history", "--help"}, {"--limit", "--json"}, {"--yes"}},
        {{"--version"}, {"zanfeld-cli "}, {}},
    };
    for (const auto& c : cases) {
        const CliResult r = m_box.run(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args[0];
        for (const char* option : c.listed)
            EXPECT_TRUE(Contains(r.out, option)) << c.args[0] << " lacks " << option << "\n"
                                                 << r.out;
        for (const char* option : c.notListed)
            EXPECT_FALSE(Contains(r.out, std::string(option) + " ")) << c.args[0] << " " << option;
    }
}

}  // namespace
