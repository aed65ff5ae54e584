#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "FileOps.h"
#include "PicSizeRule.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"
#include "TestPictures.h"

namespace zanfeld {
namespace {

using Strings = std::vector<std::string>;

const std::string kPicOption = std::to_string(static_cast<int>(OptionId::PicValue));

std::set<std::string> Tree(const std::string& root) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        out.insert(std::filesystem::relative(e.path(), root).string());
    return out;
}

SortOptions PicOptions(const std::string& outputDir, std::optional<PicCondition> condition,
                       const std::string& text, PicDimension dimension = PicDimension::Width) {
    SortOptions options;
    options.page = SortPage::PicSize;
    options.outputDir = outputDir;
    options.picCondition = condition;
    options.picText = text;
    options.picDimension = dimension;
    return options;
}

class PicSizeRuleTest : public ::testing::Test {
  protected:
    // outputDir ends in a separator, as the run makes it.
    std::string out() const { return m_tmp / "out/"; }
    std::string pic(const std::string& name) const { return m_tmp / ("src/" + name); }

    // The outcome for path after a successful prepare; the folder as "<drop>"
    // or "<nomatch>" when nothing is placed.
    std::string Judge(const SortOptions& options, const std::string& path) {
        test::RecordingHost host;
        PicSizeRule rule;
        EXPECT_TRUE(rule.prepare(options, host));
        EXPECT_TRUE(host.calls.empty());
        const RuleOutcome outcome = rule.evaluate(options, path);
        if (outcome.kind == RuleOutcome::Kind::Drop) return "<drop>";
        if (outcome.kind == RuleOutcome::Kind::NoMatch) return "<nomatch>";
        EXPECT_EQ(outcome.folders.size(), 1u);
        return outcome.folders.empty() ? "<none>" : outcome.folders[0];
    }

    test::TempDir m_tmp;
};

TEST_F(PicSizeRuleTest, RejectsBlankAndNonIntegerValuesWithoutMakingAFolder) {
    for (const char* text :
         {"", "   ", "\t", "abc", "80 0", "800 ", "2147483648", "-2147483649", "1.5", "８００"}) {
        test::RecordingHost host;
        PicSizeRule rule;
        EXPECT_FALSE(rule.prepare(PicOptions(out(), PicCondition::AtLeast, text), host)) << text;
        EXPECT_EQ(host.calls, (Strings{"reject:" + kPicOption + ":请输入正确的图片宽高!"})) << text;
    }
    EXPECT_FALSE(test::IsDir(out()));
}

TEST_F(PicSizeRuleTest, PrepareMakesTheFolderNamedByConditionAndValueAsTyped) {
    struct Case {
        std::optional<PicCondition> condition;
        const char* text;
        const char* folder;
    };
    for (const Case& c :
         {Case{PicCondition::AtLeast, "800", "大于等于800"},
          Case{PicCondition::AtMost, "800", "小于等于800"},
          Case{PicCondition::Exactly, "800", "等于800"}, Case{std::nullopt, "800", "800"},
          Case{PicCondition::AtLeast, " +0x10", "大于等于 +0x10"},
          Case{PicCondition::AtLeast, "-5", "大于等于-5"}}) {
        test::RecordingHost host;
        PicSizeRule rule;
        EXPECT_TRUE(rule.foldersPrepared());
        ASSERT_TRUE(rule.prepare(PicOptions(out(), c.condition, c.text), host)) << c.folder;
        EXPECT_TRUE(host.calls.empty());
        EXPECT_TRUE(test::IsDir(out() + c.folder)) << c.folder;
    }
}

TEST_F(PicSizeRuleTest, PictureExactlyAtTheThresholdMeetsAllThreeConditions) {
    test::WritePicture(pic("a.png"), 40, 25, "png");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtLeast, "40"), pic("a.png")), "大于等于40");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtMost, "40"), pic("a.png")), "小于等于40");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::Exactly, "40"), pic("a.png")), "等于40");

    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtLeast, "41"), pic("a.png")), "<nomatch>");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtMost, "41"), pic("a.png")), "小于等于41");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::Exactly, "41"), pic("a.png")), "<nomatch>");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtLeast, "39"), pic("a.png")), "大于等于39");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtMost, "39"), pic("a.png")), "<nomatch>");
    // Hexadecimal values count by their value; the folder keeps the text.
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::Exactly, "$28"), pic("a.png")), "等于$28");
}

TEST_F(PicSizeRuleTest, WidthOrHeightOnlyAsChosen) {
    test::WritePicture(pic("wide.jpg"), 2000, 600, "jpg");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtLeast, "800", PicDimension::Height),
                    pic("wide.jpg")),
              "<nomatch>");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtLeast, "800", PicDimension::Width),
                    pic("wide.jpg")),
              "大于等于800");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::Exactly, "600", PicDimension::Height),
                    pic("wide.jpg")),
              "等于600");
}

TEST_F(PicSizeRuleTest, NegativeThresholdLiesBelowEverySize) {
    test::WritePicture(pic("a.bmp"), 3, 2, "bmp");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtLeast, "-1"), pic("a.bmp")), "大于等于-1");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtLeast, "-2147483648"), pic("a.bmp")),
              "大于等于-2147483648");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::AtMost, "-1"), pic("a.bmp")), "<nomatch>");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::Exactly, "-3"), pic("a.bmp")), "<nomatch>");
}

TEST_F(PicSizeRuleTest, ContentDecidesNotTheName) {
    test::WritePicture(pic("png.jpg"), 50, 5, "png");
    test::WriteFile(pic("text.jpg"), "not a picture");
    test::WriteFile(pic("anim.gif"), test::GifBytes(6, 4));
    test::WritePicture(pic("scan.tif"), 60, 6, "tif");
    const SortOptions options = PicOptions(out(), PicCondition::AtLeast, "6");
    EXPECT_EQ(Judge(options, pic("png.jpg")), "大于等于6");
    EXPECT_EQ(Judge(options, pic("text.jpg")), "<drop>");
    EXPECT_EQ(Judge(options, pic("missing.jpg")), "<drop>");
    EXPECT_EQ(Judge(options, pic("anim.gif")), "大于等于6");
    EXPECT_EQ(Judge(options, pic("scan.tif")), "大于等于6");
}

TEST_F(PicSizeRuleTest, WithoutAConditionNothingIsSelected) {
    test::WritePicture(pic("a.png"), 40, 25, "png");
    test::WriteFile(pic("text.jpg"), "not a picture");
    EXPECT_EQ(Judge(PicOptions(out(), std::nullopt, "40"), pic("a.png")), "<nomatch>");
    EXPECT_EQ(Judge(PicOptions(out(), std::nullopt, "40"), pic("text.jpg")), "<drop>");
}

TEST_F(PicSizeRuleTest, NamesThatAreNotUtf8) {
    test::WritePicture(pic("\xC3\x28\xFF.png"), 40, 25, "png");
    EXPECT_EQ(Judge(PicOptions(out(), PicCondition::Exactly, "25", PicDimension::Height),
                    pic("\xC3\x28\xFF.png")),
              "等于25");
}

TEST_F(PicSizeRuleTest, MeasuredPictureCanBeMovedRightAway) {
    test::TempDir shm("/dev/shm");
    test::WritePicture(pic("a.png"), 40, 25, "png");
    const SortOptions options = PicOptions(out(), PicCondition::AtLeast, "10");
    test::RecordingHost host;
    PicSizeRule rule;
    ASSERT_TRUE(rule.prepare(options, host));
    ASSERT_EQ(rule.evaluate(options, pic("a.png")).kind, RuleOutcome::Kind::Place);
    EXPECT_EQ(MoveFileSafe(pic("a.png"), shm / "a.png", Publish::Keep), 0);
    EXPECT_FALSE(test::IsFile(pic("a.png")));
    ASSERT_EQ(rule.evaluate(options, shm / "a.png").kind, RuleOutcome::Kind::Place);
    EXPECT_EQ(MoveFileSafe(shm / "a.png", pic("b.png"), Publish::Keep), 0);
    EXPECT_EQ(test::ReadFile(pic("b.png")), test::PictureBytes(40, 25, "png"));
}

TEST_F(PicSizeRuleTest, RunMovesSelectedPicturesAndLeavesTheRest) {
    test::WritePicture(pic("big.png"), 900, 10, "png");
    test::WritePicture(pic("small.jpg"), 100, 10, "jpg");
    test::WriteFile(pic("fake.jpg"), "text");
    test::WriteFile(pic("notes.txt"), "text");
    SortOptions options = PicOptions(m_tmp / "out", PicCondition::AtLeast, "800");
    options.transferMode = TransferMode::Move;
    options.picturePatterns = {"*.JPG;*.JPEG", "*.BMP", "*.GIF", "*.PNG", "*.TIF"};
    test::RecordingHost host;
    RunFileSort(options, {pic("big.png"), pic("small.jpg"), pic("fake.jpg"), pic("notes.txt")},
                host);
    EXPECT_EQ(host.of("info"), (Strings{"分拣工作完成！"}));
    EXPECT_EQ(Tree(m_tmp / "out"), (std::set<std::string>{"大于等于800", "大于等于800/big.png"}));
    EXPECT_EQ(Tree(m_tmp / "src"), (std::set<std::string>{"small.jpg", "fake.jpg", "notes.txt"}));
    // big at 0, small at 25; fake dropped, notes filtered out.
    EXPECT_EQ(host.progress(), (std::vector<int>{0, 25, 100, 0}));
}

TEST_F(PicSizeRuleTest, RunWithNoPictureTypeTickedStillMakesTheFolder) {
    test::WritePicture(pic("big.png"), 900, 10, "png");
    SortOptions options = PicOptions(m_tmp / "out", PicCondition::AtMost, "800");
    test::RecordingHost host;
    RunFileSort(options, {pic("big.png")}, host);
    EXPECT_EQ(Tree(m_tmp / "out"), (std::set<std::string>{"小于等于800"}));
    EXPECT_EQ(host.of("info"), (Strings{"分拣工作完成！"}));
}

}  // namespace
}  // namespace zanfeld
