// The size and date rules: thresholds, boundaries, folder names and the
// folder made at preparation.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>

#include "DateRule.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "ShortDate.h"
#include "SizeRule.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

SortOptions SizeOptions(const std::string& out, const std::string& text, SizeCondition c,
                        SizeUnit u) {
    SortOptions o;
    o.page = SortPage::FileSize;
    o.outputDir = out + "/";
    o.sizeText = text;
    o.sizeCondition = c;
    o.sizeUnit = u;
    return o;
}

TEST(SizeRule, ThresholdAndStrictComparison) {
    TempDir dir;
    RecordingHost host;
    WriteFile(dir / "exact", std::string(102400, 'x'));
    WriteFile(dir / "over", std::string(102401, 'x'));
    WriteFile(dir / "under", std::string(102399, 'x'));

    SizeRule greater;
    SortOptions o = SizeOptions(dir / "out", "100", SizeCondition::Greater, SizeUnit::KB);
    ASSERT_TRUE(greater.prepare(o, host));
    EXPECT_EQ(greater.threshold(), 102400);
    EXPECT_EQ(greater.folder(), "大于100KB");
    EXPECT_TRUE(IsDir(dir / "out/大于100KB"));
    EXPECT_EQ(greater.evaluate(o, dir / "exact").kind, RuleOutcome::Kind::NoMatch);
    EXPECT_EQ(greater.evaluate(o, dir / "over").kind, RuleOutcome::Kind::Place);
    EXPECT_EQ(greater.evaluate(o, dir / "missing").kind, RuleOutcome::Kind::Drop);
    EXPECT_EQ(greater.evaluate(o, dir / "out").kind, RuleOutcome::Kind::Drop);  // a folder

    SizeRule less;
    o = SizeOptions(dir / "out", "0100", SizeCondition::Less, SizeUnit::KB);
    ASSERT_TRUE(less.prepare(o, host));
    EXPECT_EQ(less.folder(), "小于0100KB");
    EXPECT_EQ(less.evaluate(o, dir / "exact").kind, RuleOutcome::Kind::NoMatch);
    EXPECT_EQ(less.evaluate(o, dir / "under").kind, RuleOutcome::Kind::Place);

    SizeRule mb;
    o = SizeOptions(dir / "out", "1", SizeCondition::Greater, SizeUnit::MB);
    ASSERT_TRUE(mb.prepare(o, host));
    EXPECT_EQ(mb.threshold(), 1048576);

    // No item selected: nothing in the name, and the comparison is "less".
    SizeRule none;
    o = SizeOptions(dir / "out", "$10", SizeCondition::Greater, SizeUnit::KB);
    o.sizeCondition.reset();
    o.sizeUnit.reset();
    ASSERT_TRUE(none.prepare(o, host));
    EXPECT_EQ(none.folder(), "$10");
    EXPECT_EQ(none.threshold(), 16 * 1024);
    EXPECT_EQ(none.evaluate(o, dir / "under").kind, RuleOutcome::Kind::NoMatch);
}

TEST(SizeRule, BadSizesAreRefusedAndCreateNothing) {
    TempDir dir;
    for (const char* text :
         {"", "   ", "1.5", "12 ", "abc", "9223372036854775807", "9007199254740992"}) {
        RecordingHost host;
        SizeRule rule;
        SortOptions o = SizeOptions(dir / "out", text, SizeCondition::Greater, SizeUnit::KB);
        if (std::string(text) == "9007199254740992") o.sizeUnit = SizeUnit::MB;
        EXPECT_FALSE(rule.prepare(o, host)) << text;
        EXPECT_EQ(host.calls, (std::vector<std::string>{"reject:4:请输入正确的文件大小!"})) << text;
    }
    EXPECT_FALSE(IsDir(dir / "out"));
}

class DateRuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetShortDatePattern("yyyy/M/d");
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
    void TearDown() override {
        SetShortDatePattern("");
        unsetenv("TZ");
        tzset();
    }
    static int64_t LocalEpoch(int y, int mo, int d, int h, int mi, int s) {
        struct tm t {};
        t.tm_year = y - 1900;
        t.tm_mon = mo - 1;
        t.tm_mday = d;
        t.tm_hour = h;
        t.tm_min = mi;
        t.tm_sec = s;
        t.tm_isdst = -1;
        return static_cast<int64_t>(mktime(&t));
    }
    SortOptions Options(DateCondition c, CivilDate d, TimeOfDay t) {
        SortOptions o;
        o.page = SortPage::FileDate;
        o.dateSource = DateSource::Modified;
        o.outputDir = m_dir / "out/";
        o.dateCondition = c;
        o.thresholdDate = d;
        o.thresholdTime = t;
        return o;
    }
    TempDir m_dir;
    RecordingHost m_host;
};

TEST_F(DateRuleTest, FolderIsTheShortDateWithDashes) {
    DateRule rule;
    SortOptions o = Options(DateCondition::Later, {2013, 5, 7}, {12, 0, 0});
    ASSERT_TRUE(rule.prepare(o, m_host));
    EXPECT_EQ(rule.folder(), "2013-5-7");
    EXPECT_TRUE(IsDir(m_dir / "out/2013-5-7"));
    SetShortDatePattern("dd\\MM\\yyyy");
    ASSERT_TRUE(rule.prepare(o, m_host));
    EXPECT_EQ(rule.folder(), "07-05-2013");
}

// The stamps compared are the last-write times, which a test can set.
TEST_F(DateRuleTest, SameTwoSecondSlotIsNeverSelected) {
    WriteFile(m_dir / "f", "x", LocalEpoch(2013, 5, 7, 12, 0, 1));
    for (auto c : {DateCondition::Earlier, DateCondition::Later}) {
        DateRule rule;
        SortOptions o = Options(c, {2013, 5, 7}, {12, 0, 0});
        rule.prepare(o, m_host);
        EXPECT_EQ(rule.evaluate(o, m_dir / "f").kind, RuleOutcome::Kind::NoMatch);
    }
    DateRule rule;
    SortOptions o = Options(DateCondition::Later, {2013, 5, 7}, {11, 59, 59});
    rule.prepare(o, m_host);
    EXPECT_EQ(rule.evaluate(o, m_dir / "f").kind, RuleOutcome::Kind::Place);
}

TEST_F(DateRuleTest, ComparesAcrossDaylightSavingAndOutsideTheOldWindow) {
    // 2013-01-15 10:00 local (winter time) against a threshold in summer 10:30:
    // the offset of each moment is its own.
    WriteFile(m_dir / "winter", "x", LocalEpoch(2013, 1, 15, 10, 0, 0));
    WriteFile(m_dir / "future", "x", LocalEpoch(2200, 1, 1, 0, 0, 0));
    WriteFile(m_dir / "old", "x", LocalEpoch(1975, 6, 1, 0, 0, 0));
    DateRule rule;
    SortOptions o = Options(DateCondition::Earlier, {2013, 1, 15}, {10, 0, 1});
    rule.prepare(o, m_host);
    EXPECT_EQ(rule.evaluate(o, m_dir / "winter").kind, RuleOutcome::Kind::NoMatch);  // same slot
    o.thresholdTime = {10, 0, 2};
    EXPECT_EQ(rule.evaluate(o, m_dir / "winter").kind, RuleOutcome::Kind::Place);

    o.dateCondition = DateCondition::Later;
    o.thresholdDate = {2013, 1, 1};
    EXPECT_EQ(rule.evaluate(o, m_dir / "future").kind, RuleOutcome::Kind::Place);
    EXPECT_EQ(rule.evaluate(o, m_dir / "old").kind, RuleOutcome::Kind::NoMatch);
    o.thresholdDate = {1970, 1, 1};
    EXPECT_EQ(rule.evaluate(o, m_dir / "old").kind, RuleOutcome::Kind::Place);
    o.dateCondition = DateCondition::Earlier;
    o.thresholdDate = {2200, 1, 2};
    EXPECT_EQ(rule.evaluate(o, m_dir / "future").kind, RuleOutcome::Kind::Place);
}

// "文件创建时间" is when the file was made, "文件修改时间" when it was last
// written: a file made now and last written in 2000 lies on both sides of 2010.
TEST_F(DateRuleTest, CreatedIsTheBirthTimeAndModifiedTheLastWrite) {
    WriteFile(m_dir / "f", "x", LocalEpoch(2000, 1, 1, 0, 0, 0));
    struct statx st;
    ASSERT_EQ(::statx(AT_FDCWD, (m_dir / "f").c_str(), 0, STATX_BTIME, &st), 0);
    if (!(st.stx_mask & STATX_BTIME)) GTEST_SKIP() << "this file system keeps no birth time";
    struct Case {
        DateSource source;
        DateCondition condition;
        RuleOutcome::Kind kind;
    };
    for (const Case c :
         {Case{DateSource::Created, DateCondition::Later, RuleOutcome::Kind::Place},
          Case{DateSource::Created, DateCondition::Earlier, RuleOutcome::Kind::NoMatch},
          Case{DateSource::Modified, DateCondition::Later, RuleOutcome::Kind::NoMatch},
          Case{DateSource::Modified, DateCondition::Earlier, RuleOutcome::Kind::Place}}) {
        DateRule rule;
        SortOptions o = Options(c.condition, {2010, 1, 1}, {0, 0, 0});
        o.dateSource = c.source;
        ASSERT_TRUE(rule.prepare(o, m_host));
        EXPECT_EQ(rule.evaluate(o, m_dir / "f").kind, c.kind)
            << static_cast<int>(c.source) << " " << static_cast<int>(c.condition);
    }
}

TEST_F(DateRuleTest, UnreadableStampsCountAsEarliest) {
    DateRule rule;
    SortOptions o = Options(DateCondition::Earlier, {1970, 1, 1}, {0, 0, 0});
    o.dateSource = DateSource::Created;
    rule.prepare(o, m_host);
    EXPECT_EQ(rule.evaluate(o, m_dir / "missing").kind, RuleOutcome::Kind::Place);
    MakeDir(m_dir / "folder");
    o.dateSource = DateSource::Modified;
    EXPECT_EQ(rule.evaluate(o, m_dir / "folder").kind, RuleOutcome::Kind::Place);
    o.dateCondition = DateCondition::Later;
    EXPECT_EQ(rule.evaluate(o, m_dir / "missing").kind, RuleOutcome::Kind::NoMatch);
}

TEST_F(DateRuleTest, RunMakesTheFolderEvenWhenNothingQualifies) {
    WriteFile(m_dir / "src/a.txt", "x", LocalEpoch(2020, 1, 1, 0, 0, 0));
    SortOptions o = Options(DateCondition::Earlier, {2013, 5, 7}, {0, 0, 0});
    RunFileSort(o, {m_dir / "src/a.txt"}, m_host);
    EXPECT_TRUE(IsDir(m_dir / "out/2013-5-7"));
    EXPECT_FALSE(IsFile(m_dir / "out/2013-5-7/a.txt"));
    o.dateCondition = DateCondition::Later;
    RunFileSort(o, {m_dir / "src/a.txt"}, m_host);
    EXPECT_TRUE(IsFile(m_dir / "out/2013-5-7/a.txt"));
}

}  // namespace
