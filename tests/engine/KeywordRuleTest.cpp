#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "KeywordRule.h"
#include "NameRules.h"
#include "PathNames.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using Strings = std::vector<std::string>;

const std::string kKeywordsOption = std::to_string(static_cast<int>(OptionId::Keywords));

RuleOutcome Evaluate(const std::string& keywordText, const std::string& path) {
    SortOptions options;
    options.page = SortPage::Keys;
    options.keywordText = keywordText;
    test::RecordingHost host;
    KeywordRule rule;
    EXPECT_TRUE(rule.prepare(options, host));
    EXPECT_TRUE(host.calls.empty());
    return rule.evaluate(options, path);
}

Strings Folders(const std::string& keywordText, const std::string& path) {
    const RuleOutcome outcome = Evaluate(keywordText, path);
    if (outcome.kind != RuleOutcome::Kind::Place) return {"<no place>"};
    return outcome.folders;
}

TEST(KeywordRule, RejectsBlankKeywordText) {
    for (const std::string text : {"", "   ", " \t ", "\r\n"}) {
        SortOptions options;
        options.keywordText = text;
        test::RecordingHost host;
        KeywordRule rule;
        EXPECT_FALSE(rule.prepare(options, host)) << "[" << text << "]";
        EXPECT_EQ(host.calls, (Strings{"reject:" + kKeywordsOption + ":请输入匹配关键字!"}));
    }
}

TEST(KeywordRule, EveryMatchingKeywordInListOrder) {
    EXPECT_EQ(Folders("游记 西游", "/src/西游记.txt"), (Strings{"游记", "西游"}));
    EXPECT_EQ(Folders("西游 游记", "/src/西游记.txt"), (Strings{"西游", "游记"}));
    EXPECT_EQ(Folders("游记 西游", "/src/东游记.doc"), (Strings{"游记"}));
    EXPECT_EQ(Evaluate("游记 西游", "/src/水浒传.txt").kind, RuleOutcome::Kind::NoMatch);
}

TEST(KeywordRule, KeywordListedTwicePlacesTwice) {
    EXPECT_EQ(Folders("游记 游记", "/src/西游记.txt"), (Strings{"游记", "游记"}));
}

TEST(KeywordRule, OnlyTheBaseNameIsSearched) {
    EXPECT_EQ(Evaluate("doc", "/src/report.doc").kind, RuleOutcome::Kind::NoMatch);
    EXPECT_EQ(Folders("doc", "/src/doc_list.txt"), (Strings{"doc"}));
    // Not the folders above the file either.
    EXPECT_EQ(Evaluate("游记", "/src/游记/a.txt").kind, RuleOutcome::Kind::NoMatch);
    // Only the last extension is cut off.
    EXPECT_EQ(Folders("tar", "/src/backup.tar.gz"), (Strings{"tar"}));
}

TEST(KeywordRule, AsciiLettersFoldTheFolderKeepsTheKeywordAsTyped) {
    EXPECT_EQ(Folders("abc", "/src/XABCY.txt"), (Strings{"abc"}));
    EXPECT_EQ(Folders("AbC", "/src/xabcy.txt"), (Strings{"AbC"}));
    EXPECT_EQ(Evaluate("ä", "/src/Ä.txt").kind, RuleOutcome::Kind::NoMatch);
    EXPECT_EQ(Evaluate("ａｂ", "/src/ＡＢ.txt").kind, RuleOutcome::Kind::NoMatch);
    EXPECT_EQ(Folders("ＡＢ", "/src/xＡＢ.txt"), (Strings{"ＡＢ"}));
    // In UTF-8 no byte of 丄 is an ASCII letter.
    EXPECT_EQ(Evaluate("a", "/src/丄.txt").kind, RuleOutcome::Kind::NoMatch);
}

TEST(KeywordRule, EmptyEntriesFromExtraSpacesAreSkipped) {
    EXPECT_EQ(Folders(" a  b ", "/src/ab.txt"), (Strings{"a", "b"}));
    EXPECT_EQ(Folders(" a  b ", "/src/b.txt"), (Strings{"b"}));
    EXPECT_EQ(Evaluate(" a  b ", "/src/x y.txt").kind, RuleOutcome::Kind::NoMatch);
}

TEST(KeywordRule, EmptyBaseNameMatchesNothing) {
    EXPECT_EQ(Evaluate("profile", "/src/.profile").kind, RuleOutcome::Kind::NoMatch);
    EXPECT_EQ(Folders("p", "/src/.profile.p"), (Strings{"p"}));
}

// All paths below root, relative to it.
std::set<std::string> Tree(const std::string& root) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        out.insert(std::filesystem::relative(e.path(), root).string());
    return out;
}

SortOptions KeysRun(const std::string& outputDir, const std::string& keywords) {
    SortOptions options;
    options.page = SortPage::Keys;
    options.outputDir = outputDir;
    options.keywordText = keywords;
    return options;
}

TEST(KeywordRuleRun, CopiesIntoEveryMatchingFolder) {
    test::TempDir tmp;
    test::WriteFile(tmp / "src/西游记.txt", "x");
    test::WriteFile(tmp / "src/东游记.doc", "y");
    test::WriteFile(tmp / "src/水浒传.txt", "z");
    test::RecordingHost host;
    RunFileSort(KeysRun(tmp / "out", "游记 西游"),
                {tmp / "src/西游记.txt", tmp / "src/东游记.doc", tmp / "src/水浒传.txt"}, host);
    EXPECT_EQ(host.of("info"), (Strings{"分拣工作完成！"}));
    EXPECT_EQ(Tree(tmp / "out"),
              (std::set<std::string>{"游记", "游记/西游记.txt", "游记/东游记.doc", "西游",
                                     "西游/西游记.txt"}));
    EXPECT_TRUE(test::IsFile(tmp / "src/水浒传.txt"));
}

TEST(KeywordRuleRun, KeywordDotDotNeverPlacesOutsideTheOutputDirectory) {
    test::TempDir tmp;
    test::WriteFile(tmp / "src/a..b.txt", "x");
    test::MakeDir(tmp / "out");
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        SortOptions options = KeysRun(tmp / "out", "..");
        options.transferMode = mode;
        test::RecordingHost host;
        RunFileSort(options, {tmp / "src/a..b.txt"}, host);
        EXPECT_EQ(Tree(tmp.path()), (std::set<std::string>{"src", "src/a..b.txt", "out"}));
        EXPECT_EQ(test::ReadFile(tmp / "src/a..b.txt"), "x");
        ASSERT_EQ(host.of("info").size(), 1u);
        EXPECT_EQ(host.of("info")[0].rfind("分拣工作完成！", 0), 0u);
    }
}

TEST(KeywordRuleRun, MoveWithTwoKeywordsMovesIntoTheFirstAndStillMakesTheSecondFolder) {
    test::TempDir tmp;
    test::WriteFile(tmp / "src/西游记.txt", "x");
    SortOptions options = KeysRun(tmp / "out", "游记 西游");
    options.transferMode = TransferMode::Move;
    test::RecordingHost host;
    RunFileSort(options, {tmp / "src/西游记.txt"}, host);
    EXPECT_EQ(Tree(tmp / "out"), (std::set<std::string>{"游记", "游记/西游记.txt", "西游"}));
    EXPECT_FALSE(test::IsFile(tmp / "src/西游记.txt"));
    EXPECT_EQ(host.of("info"), (Strings{"分拣工作完成！"}));
}

TEST(KeywordRuleRun, BlankKeywordsEndTheRunBeforeAnythingIsLocked) {
    test::TempDir tmp;
    test::WriteFile(tmp / "src/a.txt", "x");
    test::RecordingHost host;
    RunFileSort(KeysRun(tmp / "out", "   "), {tmp / "src/a.txt"}, host);
    EXPECT_EQ(host.calls, (Strings{"outdir:" + tmp / "out/",
                                   "reject:" + kKeywordsOption + ":请输入匹配关键字!"}));
    EXPECT_FALSE(test::IsDir(tmp / "out"));
}

// The rule folds each name once and passes over keywords whose first or last
// byte the name lacks; whatever it passes over or finds must be what the
// plain test finds, keyword by keyword, for names and keywords of every kind.
TEST(KeywordRule, FindsExactlyWhatTheKeywordTestFinds) {
    const std::vector<std::string> pieces = {
        "a",    "A", "b", "B", "z", "Z", "_", "1", ".", " ", "\xe4\xb8\xad", "\xe6\x96\x87",
        "\xff", "\t"};
    std::mt19937 rng(20261208);
    auto text = [&](int most) {
        std::string out;
        for (int n = std::uniform_int_distribution<int>(0, most)(rng); n > 0; --n)
            out += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
        return out;
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> keywords;
        std::string keywordText;
        for (int k = 0; k < 4; ++k) {
            std::string keyword = text(3);
            std::erase_if(keyword, [](char c) { return c == ' ' || c == '\t'; });
            if (keyword.empty()) continue;
            keywords.push_back(keyword);
            keywordText += keyword + " ";
        }
        if (keywords.empty()) continue;
        const std::string base = text(8);
        const std::string path = "/some/folder/" + base + ".txt";
        Strings expected;
        for (const std::string& keyword : keywords)
            if (KeywordMatches(keyword, BaseNameOf(path))) expected.push_back(keyword);
        if (expected.empty()) expected = {"<no place>"};
        ASSERT_EQ(Folders(keywordText, path), expected) << "name " << base;
    }
}

}  // namespace
}  // namespace zanfeld
