#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "UnitPublic.h"

namespace zanfeld {
namespace {

const std::string kGrin = "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units

TEST(CopyChars, CountsAChineseCharacterAsOne) {
    EXPECT_EQ(CopyChars("西游记", 2, 2), "游记");
    EXPECT_EQ(CopyChars("ABCDE", 2, 2), "BC");
    EXPECT_EQ(CopyChars("Report报告2013", 7, 3), "报告2");
    EXPECT_EQ(CopyChars("西游记", 1, 1), "西");
}

TEST(CopyChars, StartBelowOneKeepsTheCount) {
    EXPECT_EQ(CopyChars("ABCDEFG", 0, 4), "ABCD");
    EXPECT_EQ(CopyChars("ABCDEFG", -5, 2), "AB");
    EXPECT_EQ(CopyChars("ABCDEFG", INT32_MIN, 3), "ABC");
}

TEST(CopyChars, RangesOutsideTheName) {
    EXPECT_EQ(CopyChars("AB", 5, 4), "");
    EXPECT_EQ(CopyChars("AB", 3, 1), "");
    EXPECT_EQ(CopyChars("ABC", 2, -1), "");
    EXPECT_EQ(CopyChars("ABC", 1, 0), "");
    EXPECT_EQ(CopyChars("ABC", 2, 100), "BC");
    EXPECT_EQ(CopyChars("ABC", 1, INT32_MAX), "ABC");
    EXPECT_EQ(CopyChars("ABC", INT32_MAX, INT32_MAX), "");
    EXPECT_EQ(CopyChars("", 1, 5), "");
}

TEST(CopyChars, CharacterOutsideTheBmpCountsTwoAndIsNeverCut) {
    const std::string name = "a" + kGrin + "b";  // units: a=1, grin=2..3, b=4
    EXPECT_EQ(CopyChars(name, 1, 4), name);
    EXPECT_EQ(CopyChars(name, 2, 2), kGrin);
    EXPECT_EQ(CopyChars(name, 4, 1), "b");
    // End inside the pair: the character is left out.
    EXPECT_EQ(CopyChars(name, 1, 2), "a");
    // Start inside the pair: likewise.
    EXPECT_EQ(CopyChars(name, 3, 2), "b");
    EXPECT_EQ(CopyChars(name, 3, 1), "");
    EXPECT_EQ(CopyChars(kGrin + kGrin, 2, 2), "");
    EXPECT_EQ(CopyChars(kGrin + kGrin, 3, 2), kGrin);
}

TEST(CopyChars, BytesThatAreNotUtf8CountOneEachAndStayAsTheyAre) {
    EXPECT_EQ(CopyChars("a\xFF"
                        "b",
                        2, 1),
              "\xFF");
    EXPECT_EQ(CopyChars("a\xFF"
                        "b",
                        3, 1),
              "b");
    // A truncated sequence (first two bytes of 游) is two characters.
    EXPECT_EQ(CopyChars("\xE6\xB8"
                        "X",
                        2, 2),
              "\xB8X");
    // Overlong encoding of "/" and an encoded surrogate are not characters.
    EXPECT_EQ(CopyChars("\xC0\xAF"
                        "Z",
                        2, 2),
              "\xAFZ");
    EXPECT_EQ(CopyChars("\xED\xA0\x80"
                        "Z",
                        3, 2),
              "\x80Z");
    // Beyond U+10FFFF.
    EXPECT_EQ(CopyChars("\xF4\x90\x80\x80", 1, 2), "\xF4\x90");
    // A valid character after a broken one is still whole.
    EXPECT_EQ(CopyChars("\xB8游", 2, 1), "游");
}

TEST(CopyChars, NamesLongerThan254UnitsAreNotEmptied) {
    std::string name;
    for (int i = 0; i < 300; ++i) name += static_cast<char>('a' + i % 26);
    EXPECT_EQ(CopyChars(name, 1, 300), name);
    EXPECT_EQ(CopyChars(name, 1, 254), name.substr(0, 254));
    EXPECT_EQ(CopyChars(name, 261, 3), name.substr(260, 3));

    std::string chinese;
    for (int i = 0; i < 260; ++i) chinese += "游";
    EXPECT_EQ(CopyChars(chinese, 1, 254).size(), 254u * 3);
    EXPECT_EQ(CopyChars(chinese, 258, 10), "游游游");
}

}  // namespace
}  // namespace zanfeld
