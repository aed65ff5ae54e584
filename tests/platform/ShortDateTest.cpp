#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "ShortDate.h"

namespace zanfeld {
namespace {

// The locale is chosen before anything asks for it, so the default pattern
// below is the Chinese one.
const bool kChineseLocale = [] {
    ::setenv("LC_ALL", "zh_CN.UTF-8", 1);
    return true;
}();

class ShortDateTest : public ::testing::Test {
  protected:
    void TearDown() override {
        SetShortDatePattern("");
        SetShortDateLocale("");
    }
};

TEST_F(ShortDateTest, DefaultIsTheSystemsShortPattern) {
    ASSERT_TRUE(kChineseLocale);
    EXPECT_EQ(ShortDateText(2013, 5, 7), "2013/5/7");
    SetShortDatePattern("dd.MM.yy");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "07.05.13");
    SetShortDatePattern("");
    EXPECT_EQ(ShortDateText(2013, 12, 31), "2013/12/31");
}

TEST_F(ShortDateTest, NumericFields) {
    SetShortDatePattern("yyyy/M/d");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "2013/5/7");
    EXPECT_EQ(ShortDateText(2013, 11, 27), "2013/11/27");
    SetShortDatePattern("dd.MM.yy");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "07.05.13");
    EXPECT_EQ(ShortDateText(2000, 12, 31), "31.12.00");
    EXPECT_EQ(ShortDateText(2009, 1, 1), "01.01.09");
    SetShortDatePattern("M/d/yyyy");
    EXPECT_EQ(ShortDateText(987, 5, 7), "5/7/0987");
    SetShortDatePattern("yyyy-MM-dd");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "2013-05-07");
}

TEST_F(ShortDateTest, LiteralsAndQuotes) {
    SetShortDatePattern("yyyy'年'M'月'd'日'");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "2013年5月7日");
    // Quoted letters are text, '' is one quote inside or outside quotes.
    SetShortDatePattern("'day' d, 'M''s' M ''yy");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "day 7, M's 5 '13");
    // Unquoted characters that are no fields are copied.
    SetShortDatePattern("d\\M\\yyyy (x)");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "7\\5\\2013 (x)");
    // An unterminated quote runs to the end.
    SetShortDatePattern("yyyy 'open");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "2013 open");
    // A lone y is no field; three of them are yy followed by y.
    SetShortDatePattern("y yyy");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "y 13y");
}

// Month and day names are the locale's, never the pattern's letters.
TEST_F(ShortDateTest, MonthAndDayNamesAreTheLocales) {
    SetShortDatePattern("MMM|dddd|d");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "5月|星期二|7");
    SetShortDateLocale("de_DE");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "Mai|Dienstag|7");
    SetShortDatePattern("");
    EXPECT_EQ(ShortDateText(2013, 5, 7), "07.05.13");
    SetShortDateLocale("C");
    EXPECT_EQ(ShortDateText(2015, 5, 6), "6 May 2015");
    SetShortDateLocale("");
}

}  // namespace
}  // namespace zanfeld
