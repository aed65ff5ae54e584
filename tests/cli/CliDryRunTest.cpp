// --dry-run of the built zanfeld-cli: nothing changes, and the plan it
// prints (as lines or as JSON) is what the real run then does.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "FileChecks.h"
#include "MiniJson.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

class CliDryRunTest : public ::testing::Test {
  protected:
    std::string P(const std::string& relative) const { return m_box / relative; }

    CliSandbox m_box{ZANFELD_CLI};
};

// A field of a dry-run line back as bytes.
std::string Unescape(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
        } else if (const char e = field[++i]; e == 'x' && i + 2 < field.size()) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        }
    }
    return out;
}

// The lines of a dry run, each as its tab-separated fields.
std::vector<std::vector<std::string>> Lines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string field; std::getline(cells, field, '\t');) fields.push_back(field);
        if (line.empty() || line.back() == '\t') fields.emplace_back();
        lines.push_back(fields);
    }
    return lines;
}

TEST_F(CliDryRunTest, DryRunChangesNothingAndTellsWhatTheRunDoes) {
    m_box.write("src/a.txt", "new a");
    m_box.write("src/tab\there.txt", "tab");
    m_box.write("src/new\nline.doc", "newline");
    m_box.write("src/b\\slash.txt", "slash");
    m_box.write("src/keep.bak", "bak");
    m_box.write("out/.txt/a.txt", "old a");
    const std::vector<std::string> sources{"src/a.txt", "src/tab\there.txt", "src/new\nline.doc",
                                           "src/b\\slash.txt", "src/keep.bak"};
    std::vector<std::string> args{"sort",  "--by", "type",   "--same",    "rename",
                                  "--out", "out",  "--move", "--exclude", "bak"};
    args.insert(args.end(), sources.begin(), sources.end());
    std::vector<std::string> dry = args;
    dry.push_back("--dry-run");

    const auto before = TreeOf(m_box.root());
    const CliResult r = m_box.run(dry);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(TreeDifference(TreeOf(m_box.root()), before), "");
    EXPECT_TRUE(Contains(r.err, "预览：")) << r.err;

    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 5u) << r.out;
    EXPECT_TRUE(Contains(r.out, "tab\\there.txt")) << r.out;
    EXPECT_TRUE(Contains(r.out, "new\\nline.doc")) << r.out;
    EXPECT_TRUE(Contains(r.out, "b\\\\slash.txt")) << r.out;
    std::map<std::string, std::string> planned;  // target -> source
    for (const auto& fields : lines) {
        ASSERT_EQ(fields.size(), 3u) << r.out;
        if (!fields[2].empty()) planned[Unescape(fields[2])] = Unescape(fields[1]);
    }
    EXPECT_EQ(lines[0][0], "编号为 a_1.txt");
    EXPECT_EQ(lines[1][0], "移动");
    // The excluded file: not selected, no target.
    EXPECT_EQ(lines[4], (std::vector<std::string>{"跳过", P("src/keep.bak"), ""}));
    EXPECT_EQ(planned.size(), 4u);
    EXPECT_EQ(planned.at(P("out/.doc/new\nline.doc")), P("src/new\nline.doc"));

    // The real run puts each file where its line said.
    std::map<std::string, std::string> bytes;
    for (const auto& [target, source] : planned) bytes[target] = ReadFile(source);
    const CliResult real = m_box.run(args);
    ASSERT_EQ(real.exitCode, 0) << real.err;
    for (const auto& [target, source] : planned) {
        EXPECT_EQ(ReadFile(target), bytes[target]) << target;
        EXPECT_FALSE(Exists(source)) << source;
    }
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "old a");
    EXPECT_EQ(m_box.read("src/keep.bak"), "bak");
    EXPECT_EQ(FileCount(TreeOf(P("out"))), 5u) << Listing(TreeOf(P("out")));
}

TEST_F(CliDryRunTest, DryRunJsonIsThePlan) {
    const std::string odd = "src/x\xc3\x28y.txt";  // a broken two-byte sequence
    m_box.write(odd, "odd");
    m_box.write("src/a.txt", "new a", 1'600'000'000);
    m_box.write("src/b.txt", "new b", 1'600'000'000);
    m_box.write("src/c.doc", "c");
    m_box.write("out/.txt/a.txt", "old a", 1'500'000'000);  // older than the new one
    m_box.write("out/.txt/b.txt", "old b", 1'700'000'000);  // newer
    std::vector<std::string> args{"sort", "--by", "type",      "--same",    "newer",    "--out",
                                  "out",  odd,    "src/a.txt", "src/b.txt", "src/c.doc"};
    std::vector<std::string> dry = args;
    dry.insert(dry.end(), {"--dry-run", "--json"});
    const auto before = TreeOf(m_box.root());
    const CliResult r = m_box.run(dry);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(TreeDifference(TreeOf(m_box.root()), before), "");
    const Json j = Json::parse(r.out);
    EXPECT_TRUE(j["dry_run"].boolean());
    EXPECT_EQ(j["exit"].integer(), 0);
    const Json& plan = j["plan"];
    ASSERT_EQ(plan.size(), 4u);
    EXPECT_EQ(plan[0]["source"].string(), P(odd));
    EXPECT_EQ(plan[0]["target"].string(), P("out/.txt/x\xc3\x28y.txt"));
    EXPECT_EQ(plan[0]["action"].string(), "copy");
    EXPECT_EQ(plan[1]["action"].string(), "replace_older");
    EXPECT_EQ(plan[2]["action"].string(), "keep_newer");
    EXPECT_EQ(plan[2]["target"].string(), P("out/.txt/b.txt"));
    EXPECT_EQ(plan[3]["folder"].string(), P("out/.doc"));
    EXPECT_EQ(j["counts"]["copy"].integer(), 2);
    EXPECT_EQ(j["counts"]["keep_newer"].integer(), 1);

    // The real run does as planned.
    ASSERT_EQ(m_box.run(args).exitCode, 0);
    EXPECT_EQ(m_box.read("out/.txt/x\xc3\x28y.txt"), "odd");
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "new a");
    EXPECT_EQ(m_box.read("out/.txt/b.txt"), "old b");
    EXPECT_EQ(m_box.read("out/.doc/c.doc"), "c");
}

TEST_F(CliDryRunTest, ALargePlanComesWhole) {
    // More than the 64 KiB the plan is written out in at a time.
    std::vector<std::string> args{"sort",      "--by",   "name",   "--out", "out",
                                  "--dry-run", "--json", "--walk", "src"};
    const std::string stem(120, 'p');
    for (int i = 0; i < 1500; ++i) m_box.write("src/" + stem + std::to_string(i) + ".txt", "x");
    CliResult r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_GT(r.out.size(), 3u << 16);
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["plan"].size(), 1500u);
    EXPECT_EQ(j["counts"]["copy"].integer(), 1500);

    args.erase(args.begin() + 6);  // lines, not JSON
    r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1500u);
    for (const auto& fields : lines) ASSERT_EQ(fields.size(), 3u) << fields[0];
}

TEST_F(CliDryRunTest, NoPageMakesAFolderOrChangesAFile) {
    m_box.write("src/docs/a.txt", "a");
    m_box.write("src/docs/sub/b.txt", "b");
    m_box.write("src/big.bin", std::string(5000, 'x'));
    m_box.write("out/.txt/a.txt", "there");
    const std::vector<std::vector<std::string>> runs = {
        {"sort", "--by", "keys", "--keywords", "big a"},
        {"sort", "--by", "name", "--range", "1:2", "--filter", "i"},
        {"sort", "--by", "type", "--same", "overwrite", "--move"},
        {"sort", "--by", "type", "--same", "ask"},  // tells, asks nothing
        {"sort", "--by", "size", "--size", ">1"},
        {"sort", "--by", "date", "--date", "<2100-01-01", "--date-of", "modified"},
        {"sort", "--by", "picture", "--width", ">=1"},
        {"sort-folders", "--by", "keys", "--keywords", "doc"},
        {"sort-folders", "--by", "name", "--same", "rename"},
    };
    const auto before = TreeOf(m_box.root());
    for (std::vector<std::string> args : runs) {
        const bool folders = args[0] == "sort-folders";
        std::string label;
        for (const std::string& arg : args) label += arg + " ";
        args.insert(args.end(), {"--out", "out", "--dry-run"});
        if (folders) {
            args.push_back("src/docs");
        } else {
            args.insert(args.end(), {"src/docs/a.txt", "src/big.bin"});
        }
        const CliResult r = m_box.run(args);
        EXPECT_EQ(r.exitCode, 0) << label << "\n" << r.err;
        EXPECT_EQ(Lines(r.out).size(), 2u) << label << "\n" << r.out;
        EXPECT_EQ(TreeDifference(TreeOf(m_box.root()), before), "") << label;
    }
}

TEST_F(CliDryRunTest, AFolderRunsPlanIsWhatItCopies) {
    m_box.write("src/docs/a.txt", "a");
    m_box.write("src/docs/sub/b.txt", "b");
    m_box.write("src/docs/.hidden", "h");
    m_box.write("out/doc/docs/a.txt", "there");
    const std::vector<std::string> args{"sort-folders", "--by",    "keys",   "--keywords",
                                        "doc",          "--same",  "rename", "--out",
                                        "out",          "src/docs"};
    std::vector<std::string> dry = args;
    dry.insert(dry.end(), {"--dry-run", "--json"});
    const CliResult plan = m_box.run(dry);
    ASSERT_EQ(plan.exitCode, 0) << plan.err;
    const Json j = Json::parse(plan.out);
    ASSERT_EQ(j["plan"].size(), 3u) << plan.out;

    const CliResult r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const Json& row : j["plan"].array()) {
        EXPECT_EQ(ReadFile(row["target"].string()), ReadFile(row["source"].string()))
            << row["target"].string();
        if (row["source"].string() == P("src/docs/a.txt")) {
            EXPECT_EQ(row["action"].string(), "renamed");
            EXPECT_EQ(row["target"].string(), P("out/doc/docs/a_1.txt"));
        }
    }
    EXPECT_EQ(m_box.read("out/doc/docs/a.txt"), "there");
    EXPECT_EQ(FileCount(TreeOf(P("out"))), 4u) << Listing(TreeOf(P("out")));
}

}  // namespace
