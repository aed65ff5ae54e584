// The built zanfeld-cli as a script runs it: refused options and refused
// runs, the JSON result with its failures, the progress line, the help
// texts and the version.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "FileChecks.h"
#include "MiniJson.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;
using namespace std::chrono_literals;

namespace {

// ---- the JSON reader the tests rely on -------------------------------------

TEST(CliMiniJsonTest, ReadsEscapesAndGivesLoneSurrogatesBackAsBytes) {
    const Json j = Json::parse(
        R"( {"p":"a\udcff\udc80\u00e9\ud83d\ude00\t\"\\\/","n":[1,-2.5e3,true,null]} )");
    EXPECT_EQ(j["p"].string(), "a\xff\x80\xc3\xa9\xf0\x9f\x98\x80\t\"\\/");
    EXPECT_EQ(j["n"][0].integer(), 1);
    EXPECT_EQ(j["n"][1].number(), -2500);
    EXPECT_TRUE(j["n"][2].boolean());
    EXPECT_TRUE(j["n"][3].isNull());
    for (const char* bad : {"{\"a\":\"\t\"}", "\"\\udc41\"", "\"\\ud800\"", "\"\xff\"", "{} {}",
                            "[1,]", "{\"a\" 1}", "01"}) {
        EXPECT_THROW(Json::parse(bad), std::runtime_error) << bad;
    }
}

class CliProgramTest : public ::testing::Test {
  protected:
    std::string P(const std::string& relative) const { return m_box / relative; }

    CliSandbox m_box{ZANFELD_CLI};
};

// ---- refused lines and refused runs ----------------------------------------

TEST_F(CliProgramTest, BadOptionsAreRefusedByNameAndNothingIsWritten) {
    m_box.write("src/a.txt", "a");
    m_box.write("src/b.jpg", "b");
    MakeDir(P("empty"));
    MakeDir(P("dirs/one"));
    const std::vector<std::string> file{"--out", "out", "src/a.txt"};
    const auto with = [&](std::vector<std::string> args) {
        args.insert(args.end(), file.begin(), file.end());
        return args;
    };
    const struct {
        std::vector<std::string> args;
        const char* named;  // what stderr must name
    } cases[] = {
        {with({"sort", "--by", "type", "--bogus"}), "--bogus"},
        {with({"sort"}), "--by"},
        {with({"sort", "--by", "colour"}), "--by"},
        {with({"sort", "--by", "type", "--size", ">1"}), "--size"},
        {with({"sort", "--by", "type", "--keywords", "a"}), "--keywords"},
        {with({"sort", "--by", "keys", "--keywords", "a", "--range", "1:2"}), "--range"},
        {with({"sort", "--by", "name", "--date-of", "modified"}), "--date-of"},
        {with({"sort", "--by", "size", "--width", ">=1"}), "--width"},
        {with({"sort", "--by", "picture", "--width", ">=1", "--include", "jpg"}), "--include"},
        {with({"sort", "--by", "size", "--size", "1GB"}), "--size"},
        {with({"sort", "--by", "size", "--size", ">"}), "--size"},
        {with({"sort", "--by", "size", "--size", ">10GB"}), "--size"},
        {with({"sort", "--by", "size", "--size", "<99999999999999999999"}), "（--size）"},
        {with({"sort", "--by", "date", "--date", "2015-05-06"}), "--date"},
        {with({"sort", "--by", "date", "--date", "<2015-02-30"}), "--date"},
        {with({"sort", "--by", "date", "--date", "<2015-05-06 25:00"}), "--date"},
        {with({"sort", "--by", "date", "--date", "<2015-05-06", "--date-of", "born"}), "--date-of"},
        {with({"sort", "--by", "picture", "--width", "800"}), "--width"},
        {with({"sort", "--by", "picture", "--height", ">=x"}), "--height"},
        {with({"sort", "--by", "picture", "--width", ">=1", "--types", "PSD"}), "--types"},
        {with({"sort", "--by", "name", "--range", "14"}), "--range"},
        {with({"sort", "--by", "name", "--range", "a:3"}), "--range"},
        {with({"sort", "--by", "type", "--include", ""}), "--include"},
        {with({"sort", "--by", "type", "--include", "t?t"}), "--include"},
        {with({"sort", "--by", "type", "--exclude", "a/b"}), "--exclude"},
        {with({"sort", "--by", "type", "--same", "maybe"}), "--same"},
        {with({"sort", "--by", "type", "--yes", "--no"}), "--yes"},
        {with({"sort", "--by", "type", "--copy", "--move"}), "--move"},
        {with({"sort", "--by", "type", "--depth", "1"}), "--depth"},
        {with({"sort", "--by", "type", "--all"}), "--all"},
        {with({"sort", "--by", "type", "--walk", "nowhere"}), "--walk"},
        {with({"sort", "--by", "type", "--list", "nothing.lst"}), "--list"},
        {with({"sort", "--by", "type", "src/missing.txt"}), "src/missing.txt"},
        {with({"sort", "--by", "keys", "--keywords", "  "}), "--keywords"},
        {{"sort", "--by", "type", "src/a.txt"}, "--out"},
        {{"sort", "--by", "type", "--out", "  ", "src/a.txt"}, "--out"},
        {{"sort-folders", "--by", "type", "--out", "out", "dirs"}, "--by"},
        {{"sort-folders", "--by", "keys", "--keywords", "o", "--move", "--out", "out", "dirs"},
         "--move"},
        {{"sort-folders", "--by", "keys", "--keywords", "o", "--out", "out", "src/a.txt"},
         "src/a.txt"},
        {{"sort-folders", "--by", "name", "--subfolders", "nowhere", "--out", "out"},
         "--subfolders"},
        {{"history", "--limit", "-1"}, "--limit"},
        {{"undo", "zero"}, "zero"},
    };
    const auto before = m_box.files();
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& a : c.args) line += a + " ";
        const CliResult r = m_box.run(c.args);
        EXPECT_EQ(r.exitCode, 2) << line << "\n" << r.err;
        EXPECT_TRUE(Contains(r.err, c.named)) << line << "\nstderr: " << r.err;
        EXPECT_EQ(r.out, "") << line;
        EXPECT_EQ(TreeDifference(m_box.files(), before), "") << line;
    }
    // No refused run is in the journal.
    EXPECT_EQ(m_box.history().size(), 0u);
}

TEST_F(CliProgramTest, WithJsonEveryRefusedLineIsAnObject) {
    // A script that asks for JSON reads one object whatever was wrong with
    // the line, as it does for a bad --size or a missing file.
    m_box.write("src/a.txt", "a");
    const struct {
        std::vector<std::string> args;
        const char* option;
    } cases[] = {
        {{"sort", "--by", "type", "--size", ">1"}, "--size"},
        {{"sort", "--by", "type", "src/missing.txt"}, "FILE"},
        {{"sort", "--by", "colour"}, "--by"},
        {{"sort", "--by", "type", "--same", "maybe"}, "--same"},
        {{"sort", "--by", "date", "--date", "<2015-05-06", "--date-of", "born"}, "--date-of"},
        {{"sort", "--by", "type", "--yes", "--no"}, "--yes"},
        {{"sort", "--by", "type", "--copy", "--move"}, "--copy"},
        {{"sort", "--by", "type", "--walk", "src", "--depth", "-1"}, "--depth"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--json", "--out", "out", "src/a.txt"});
        const CliResult r = m_box.run(args);
        EXPECT_EQ(r.exitCode, 2) << c.option;
        try {
            const Json j = Json::parse(r.out);
            EXPECT_TRUE(j["refused"].boolean()) << r.out;
            EXPECT_EQ(j["exit"].integer(), 2) << r.out;
            EXPECT_TRUE(Contains(j["message"].string(), c.option)) << r.out;
        } catch (const std::exception& e) {
            ADD_FAILURE() << "no JSON object for a refused " << c.option << " (" << e.what()
                          << "); stdout: \"" << r.out << "\" stderr: " << r.err;
        }
    }
}

TEST_F(CliProgramTest, TheRunsOwnChecksRefuseWithTheWindowsWords) {
    m_box.write("src/a.txt", "a");
    MakeDir(P("empty"));
    MakeDir(P("nofolders"));
    const auto before = m_box.files();

    CliResult r = m_box.run({"sort", "--by", "type", "src/a.txt", "--json"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "请选择分拣结果输出目录！（--out）")) << r.err;
    Json j = Json::parse(r.out);
    EXPECT_TRUE(j["refused"].boolean());
    EXPECT_EQ(j["option"].string(), "--out");
    EXPECT_EQ(j["message"].string(), "请选择分拣结果输出目录！");
    EXPECT_EQ(j["exit"].integer(), 2);

    r = m_box.run({"sort", "--by", "type", "--out", "out", "--walk", "empty"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "没有需要分拣的文件!")) << r.err;
    EXPECT_EQ(r.out, "");

    r = m_box.run({"sort-folders", "--by", "name", "--out", "out", "--subfolders", "nofolders"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "没有需要分拣的文件夹（目录）!")) << r.err;

    EXPECT_EQ(TreeDifference(m_box.files(), before), "");
    EXPECT_EQ(m_box.history().size(), 0u);
}

// ---- the result as JSON, failures ------------------------------------------

TEST_F(CliProgramTest, JsonGivesCountsRunAndEveryFailureWithItsBytes) {
    // A plain file where the .txt folder would go: every .txt fails.
    m_box.write("out/.txt", "in the way");
    const std::string odd = "src/bad\xff\xfe name\x01.txt";
    m_box.write(odd, "odd");
    m_box.write("src/fine.doc", "fine");
    std::vector<std::string> args{"sort", "--by", "type", "--out", "out", odd, "src/fine.doc"};
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
    EXPECT_GT(j["run"].integer(), 0);
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
}

// ---- the progress line ----------------------------------------------------

// The columns text takes on a terminal: two for a wide (East Asian) character.
size_t Columns(const std::string& text) {
    size_t columns = 0;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        uint32_t point = length == 1 ? c : c & (0x3F >> (length - 1));
        for (size_t k = 1; k < length && i + k < text.size(); ++k)
            point = point << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        const bool wide =
            (point >= 0x1100 && point <= 0x115F) || (point >= 0x2E80 && point <= 0xA4CF) ||
            (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF) ||
            (point >= 0xFE30 && point <= 0xFE4F) || (point >= 0xFF00 && point <= 0xFF60) ||
            (point >= 0xFFE0 && point <= 0xFFE6);
        columns += wide ? 2 : 1;
        i += length;
    }
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

    std::filesystem::remove_all(P("out"));
    setup.args.push_back("--quiet");
    r = RunProgram(setup);
    EXPECT_EQ(r.exitCode, 0) << r.terminal;
    EXPECT_FALSE(Contains(r.terminal, "\033[")) << r.terminal;
    EXPECT_TRUE(Contains(r.terminal, "分拣工作完成！")) << r.terminal;

    std::filesystem::remove_all(P("out"));
    r = m_box.run(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(Contains(r.err, "\033[")) << r.err;
}

// ---- help and version ------------------------------------------------------

TEST_F(CliProgramTest, HelpListsEachCommandsOptions) {
    const struct {
        std::vector<std::string> args;
        std::vector<const char*> options;
        std::vector<const char*> notListed;
    } cases[] = {
        {{"--help"}, {"sort", "sort-folders", "undo", "history", "--version"}, {}},
        {{"sort", "--help"},
         {"--walk",    "--depth",  "--all",           "--list",    "--by",      "--keywords",
          "--range",   "--filter", "--only-existing", "--size",    "--date",    "--date-of",
          "--width",   "--height", "--types",         "--include", "--exclude", "--copy",
          "--move",    "--same",   "--yes",           "--no",      "--out",     "--settings",
          "--dry-run", "--json",   "--quiet"},
         {"--subfolders", "--limit"}},
        {{"sort-folders", "--help"},
         {"--subfolders", "--list", "--by", "--keywords", "--range", "--filter", "--only-existing",
          "--same", "--yes", "--no", "--out", "--settings", "--dry-run", "--json", "--quiet"},
         {"--move", "--walk", "--size"}},
        {{"undo", "--help"}, {"--yes", "--dry-run", "--json", "--quiet"}, {"--out"}},
        {{"history", "--help"}, {"--limit", "--json"}, {"--yes"}},
    };
    for (const auto& c : cases) {
        const CliResult r = m_box.run(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args[0];
        for (const char* option : c.options)
            EXPECT_TRUE(Contains(r.out, option)) << c.args[0] << " lacks " << option << "\n"
                                                 << r.out;
        for (const char* option : c.notListed)
            EXPECT_FALSE(Contains(r.out, std::string(option) + " ")) << c.args[0] << " " << option;
    }
}

TEST_F(CliProgramTest, VersionIsTheProjectsVersion) {
    const CliResult r = m_box.run({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    // The version the build was configured with, from the top CMakeLists.txt.
    const auto top = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    std::smatch m;
    const std::string cmake = ReadFile((top / "CMakeLists.txt").string());
    ASSERT_TRUE(std::regex_search(cmake, m, std::regex(R"(project\(Zanfeld VERSION ([0-9.]+))")));
    EXPECT_EQ(r.out, "zanfeld-cli " + m[1].str() + "\n");
}

}  // namespace
