// How the command line's choices become a run's options: the conditions as
// typed, the settings file under the choices given on the line, and the
// refusals that name the option at fault.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CliChoices.h"
#include "CliParser.h"
#include "CliSources.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

// The request a command line gives, or a failed test when the line is refused.
CliRequest Parse(std::vector<const char*> words, int* status = nullptr) {
    words.insert(words.begin(), "zanfeld-cli");
    std::ostringstream out;
    std::ostringstream err;
    const ParsedLine line =
        ParseCommandLine(static_cast<int>(words.size()), words.data(), out, err);
    if (status) *status = line.done ? line.status : -1;
    return line.request;
}

TEST(CliConditions, SizeDateAndPictureAsTyped) {
    auto size = ParseSizeChoice(">10MB");
    ASSERT_TRUE(size);
    EXPECT_EQ(size->condition, SizeCondition::Greater);
    EXPECT_EQ(size->number, "10");
    EXPECT_EQ(size->unit, SizeUnit::MB);
    size = ParseSizeChoice(" < 500 ");
    ASSERT_TRUE(size);
    EXPECT_EQ(size->condition, SizeCondition::Less);
    EXPECT_EQ(size->number, "500");
    EXPECT_EQ(size->unit, SizeUnit::KB);
    EXPECT_EQ(ParseSizeChoice("<2kb")->unit, SizeUnit::KB);
    for (const char* bad : {"10MB", ">", ">MB", ">10GB", ">=10", "", ">-1"})
        EXPECT_FALSE(ParseSizeChoice(bad)) << bad;

    auto date = ParseDateChoice("<2015-05-06 12:00");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->condition, DateCondition::Earlier);
    EXPECT_EQ(date->date.year, 2015);
    EXPECT_EQ(date->date.month, 5);
    EXPECT_EQ(date->date.day, 6);
    EXPECT_EQ(date->time.hour, 12);
    EXPECT_EQ(date->time.minute, 0);
    date = ParseDateChoice(">2024-02-29T23:59:58");
    ASSERT_TRUE(date);
    EXPECT_EQ(date->condition, DateCondition::Later);
    EXPECT_EQ(date->time.second, 58);
    EXPECT_EQ(ParseDateChoice(">2016-01-01")->time.hour, 0);
    for (const char* bad : {"2015-05-06", "<2015-5-6", "<2023-02-29", "<2015-13-01",
                            "<2015-05-06 24:00", "<2015-05-06 12", "<2015-05-06 12:00:60"})
        EXPECT_FALSE(ParseDateChoice(bad)) << bad;

    auto picture = ParsePictureChoice(">=800");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->condition, PicCondition::AtLeast);
    EXPECT_EQ(picture->number, "800");
    EXPECT_EQ(ParsePictureChoice("<= 600")->condition, PicCondition::AtMost);
    EXPECT_EQ(ParsePictureChoice("=1024")->condition, PicCondition::Exactly);
    EXPECT_EQ(ParsePictureChoice("==1024")->condition, PicCondition::Exactly);
    for (const char* bad : {">800", "800", ">=", ">=8.5", "<800"})
        EXPECT_FALSE(ParsePictureChoice(bad)) << bad;
}

TEST(CliConditions, TypeListsInEveryUsualSpelling) {
    EXPECT_EQ(*ParseTypePatterns("*.txt, doc,.PDF,*"),
              (std::vector<std::string>{"*.txt", "*.doc", "*.PDF", "*"}));
    EXPECT_FALSE(ParseTypePatterns(" , "));
    EXPECT_FALSE(ParseTypePatterns("a/b"));
    EXPECT_FALSE(ParseTypePatterns("*.t?t"));
    // The picture list keeps its own order, whatever order they are named in.
    EXPECT_EQ(*ParsePictureTypes("png,jpeg"), (std::vector<std::string>{"*.JPG;*.JPEG", "*.PNG"}));
    EXPECT_EQ(*ParsePictureTypes("*.TIFF,.gif,JPG"),
              (std::vector<std::string>{"*.JPG;*.JPEG", "*.GIF", "*.TIF"}));
    EXPECT_FALSE(ParsePictureTypes("webp"));
    EXPECT_FALSE(ParsePictureTypes(""));
}

TEST(CliOptions, LineChoicesWithoutSettings) {
    SortOptions o;
    CliRequest r = Parse({"sort", "a", "--by", "size", "--size", ">2MB", "--move", "--same",
                          "newer", "--out", "out", "--exclude", "tmp,part"});
    ASSERT_FALSE(ResolveOptions(r, false, "/work", o));
    EXPECT_EQ(o.page, SortPage::FileSize);
    EXPECT_EQ(o.sizeText, "2");
    EXPECT_EQ(o.sizeUnit, SizeUnit::MB);
    EXPECT_EQ(o.transferMode, TransferMode::Move);
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::EditFileTime);
    EXPECT_EQ(o.outputDir, "/work/out");
    EXPECT_EQ(o.typeFilter, TypeFilterMode::Exclude);
    EXPECT_EQ(o.typePatterns, (std::vector<std::string>{"*.tmp", "*.part"}));

    // Left to themselves: copy, skip (the window's first start), every picture type.
    r = Parse({"sort", "a", "--by", "picture", "--height", "<=600", "--out", "/o"});
    ASSERT_FALSE(ResolveOptions(r, false, "/work", o));
    EXPECT_EQ(o.transferMode, TransferMode::Copy);
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::Skip);
    EXPECT_EQ(o.picDimension, PicDimension::Height);
    EXPECT_EQ(o.picCondition, PicCondition::AtMost);
    EXPECT_EQ(o.picText, "600");
    EXPECT_EQ(o.picturePatterns.size(), 5u);
    EXPECT_EQ(o.outputDir, "/o");

    // The taken-date page: each layout and fallback as typed, its own types.
    r = Parse({"sort", "a", "--by", "taken", "--group", "day", "--fallback", "name,mtime",
               "--skip-unknown", "--types", "heic,*.MP4,jpg"});
    ASSERT_FALSE(ResolveOptions(r, false, "/w", o));
    EXPECT_EQ(o.page, SortPage::TakenDate);
    EXPECT_EQ(o.takenGroup, TakenGroup::Day);
    EXPECT_TRUE(o.takenFromName && o.takenFromModified && o.takenSkipUnknown);
    EXPECT_EQ(o.takenPatterns, (std::vector<std::string>{"*.HEIC", "*.MP4", "*.JPG"}));
    r = Parse({"sort", "a", "--by", "taken", "--group", "month", "--fallback", "none",
               "--unknown", "无日期"});
    ASSERT_FALSE(ResolveOptions(r, false, "/w", o));
    EXPECT_EQ(o.takenGroup, TakenGroup::YearMonth);
    EXPECT_FALSE(o.takenFromName || o.takenFromModified || o.takenSkipUnknown);
    EXPECT_EQ(o.takenUnknownFolder, "无日期");
    EXPECT_EQ(o.takenPatterns.size(), std::size(kTakenTypes));

    r = Parse({"sort", "a", "--by", "name", "--range", "2:5", "--filter", "-*_"});
    ASSERT_FALSE(ResolveOptions(r, false, "/w", o));
    EXPECT_TRUE(o.useNamePart);
    EXPECT_EQ(o.partBeginText, "2");
    EXPECT_EQ(o.partEndText, "5");
    EXPECT_EQ(o.nameFilter, "-*_");
    // No output directory: the run's own check refuses it, as the window's does.
    EXPECT_EQ(o.outputDir, "");
    // A blank one stays blank rather than becoming a folder named by spaces.
    r = Parse({"sort", "a", "--by", "type", "--out", "  "});
    ASSERT_FALSE(ResolveOptions(r, false, "/w", o));
    EXPECT_EQ(o.outputDir, "  ");
}

TEST(CliOptions, RefusalsNameTheOption) {
    struct Case {
        std::vector<const char*> line;
        const char* option;
    };
    const Case cases[] = {
        {{"sort", "a", "--out", "o"}, "--by"},
        {{"sort", "a", "--by", "type", "--size", ">1KB"}, "--size"},
        {{"sort", "a", "--by", "keys", "--range", "1:2"}, "--range"},
        {{"sort", "a", "--by", "size", "--keywords", "x"}, "--keywords"},
        {{"sort", "a", "--by", "date", "--date", "yesterday"}, "--date"},
        {{"sort", "a", "--by", "size", "--size", "big"}, "--size"},
        {{"sort", "a", "--by", "picture", "--width", "wide"}, "--width"},
        {{"sort", "a", "--by", "picture", "--include", "jpg"}, "--include"},
        {{"sort", "a", "--by", "picture", "--types", "svg"}, "--types"},
        {{"sort", "a", "--by", "taken", "--types", "bmp"}, "--types"},
        {{"sort", "a", "--by", "taken", "--unknown", "a/b"}, "--unknown"},
        {{"sort", "a", "--by", "taken", "--include", "jpg"}, "--include"},
        {{"sort", "a", "--by", "type", "--group", "day"}, "--group"},
        {{"sort", "a", "--by", "name", "--range", "3"}, "--range"},
        {{"sort", "a", "--by", "type", "--include", ","}, "--include"},
        {{"sort-folders", "a", "--out", "o"}, "--by"},
    };
    for (const Case& c : cases) {
        CliRequest r = Parse(c.line);
        SortOptions o;
        const auto error = ResolveOptions(r, r.command == CliCommand::SortFolders, "/w", o);
        ASSERT_TRUE(error) << c.option;
        EXPECT_EQ(error->option, c.option);
        EXPECT_NE(error->message.find(c.option), std::string::npos) << error->message;
    }
    // What the parser itself refuses ends the program with status 2.
    for (std::vector<const char*> line : {std::vector<const char*>{"sort", "--by", "colour"},
                                          {"sort", "--copy", "--move"},
                                          {"sort", "--yes", "--no"},
                                          {"sort", "--depth", "-1"},
                                          {"sort", "--bogus"},
                                          {"sort", "--width", ">=1", "--height", ">=1"},
                                          {"sort", "--group", "week"},
                                          {"sort", "--unknown", "x", "--skip-unknown"},
                                          {"frobnicate"},
                                          {}}) {
        int status = -1;
        Parse(line, &status);
        EXPECT_EQ(status, 2) << (line.empty() ? "(nothing)" : line.back());
    }
    int status = -1;
    Parse({"sort", "--help"}, &status);
    EXPECT_EQ(status, 0);
}

TEST(CliOptions, SettingsUnderTheLine) {
    TempDir dir;
    MakeDir(dir / "stored-out");
    WriteFile(dir / "Zanfeld.ini",
              "[Parameter]\r\nFilter=_*-\r\nSameFile=3\r\nOutDir=" + (dir / "stored-out/") +
                  "\r\nPage=3\r\nPicSize=1\r\nCmbPic=2\r\nPicSizeValue=640\r\nCmbCondition=1\r\n"
                  "CmbUnit=1\r\nFileSize=20\r\nEdtKeys=甲 乙\r\nSuffixFilter=*.txt|*.doc|\r\n"
                  "DTDate=2020-02-03\r\nDTTime=04:05:06\r\nFileAttr=1\r\nCmbFileDate=1\r\n"
                  "[Parameter2]\r\nFilter=x\r\nSameFile=2\r\nOutDir=/nowhere-at-all/\r\nPage=0\r\n"
                  "EdtKeys=丙\r\n");
    const std::string settings = "--settings=" + (dir / "Zanfeld.ini");

    SortOptions o;
    CliRequest r = Parse({"sort", "a", settings.c_str()});
    ASSERT_FALSE(ResolveOptions(r, false, "/w", o));
    EXPECT_EQ(o.page, SortPage::FileSize);
    EXPECT_EQ(o.sizeCondition, SizeCondition::Less);
    EXPECT_EQ(o.sizeUnit, SizeUnit::MB);
    EXPECT_EQ(o.sizeText, "20");
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::Rename);
    EXPECT_EQ(o.outputDir, dir / "stored-out/");
    EXPECT_EQ(o.keywordText, "甲 乙");
    EXPECT_EQ(o.nameFilter, "_*-");
    EXPECT_EQ(o.picDimension, PicDimension::Height);
    EXPECT_EQ(o.picCondition, PicCondition::Exactly);
    EXPECT_EQ(o.picText, "640");
    EXPECT_EQ(o.dateSource, DateSource::Modified);
    EXPECT_EQ(o.dateCondition, DateCondition::Later);
    EXPECT_EQ(o.thresholdDate.year, 2020);
    EXPECT_EQ(o.thresholdTime.second, 6);
    // The stored types wait for a filter switch, which the file does not keep.
    EXPECT_EQ(o.typeFilter, TypeFilterMode::None);
    EXPECT_EQ(o.typePatterns, (std::vector<std::string>{"*.txt", "*.doc"}));
    EXPECT_EQ(o.transferMode, TransferMode::Copy);

    // The line over the file.
    r = Parse({"sort", "a", settings.c_str(), "--by", "keys", "--keywords", "丁", "--same", "skip",
               "--out", "elsewhere", "--include", "txt"});
    ASSERT_FALSE(ResolveOptions(r, false, "/w", o));
    EXPECT_EQ(o.page, SortPage::Keys);
    EXPECT_EQ(o.keywordText, "丁");
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::Skip);
    EXPECT_EQ(o.outputDir, "/w/elsewhere");
    EXPECT_EQ(o.typeFilter, TypeFilterMode::Include);
    EXPECT_EQ(o.typePatterns, (std::vector<std::string>{"*.txt"}));

    // The folder window's section; a stored folder that is gone is not used.
    r = Parse({"sort-folders", "a", settings.c_str()});
    ASSERT_FALSE(ResolveOptions(r, true, "/w", o));
    EXPECT_EQ(o.page, SortPage::Keys);
    EXPECT_EQ(o.keywordText, "丙");
    EXPECT_EQ(o.nameFilter, "x");
    EXPECT_EQ(o.sameFilePolicy, SameFilePolicy::Ask);
    EXPECT_EQ(o.outputDir, "");

    // The stored page decides which page's options belong.
    r = Parse({"sort", "a", settings.c_str(), "--keywords", "x"});
    const auto error = ResolveOptions(r, false, "/w", o);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->option, "--keywords");

    r = Parse({"sort", "a", "--settings=missing.ini", "--by", "type"});
    const auto missing = ResolveOptions(r, false, dir.path(), o);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->option, "--settings");
    EXPECT_NE(missing->message.find(dir / "missing.ini"), std::string::npos);
}

TEST(CliOptions, ADefaultSettingsFileAndAnUnreadablePage) {
    TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    // A page the window does not have leaves the page its layout opens on.
    WriteFile(dir / "Zanfeld.ini", "[Parameter]\nPage=7\nCmbPic=16\nCmbFileDate=-1\n");
    SortOptions o;
    CliRequest r = Parse({"sort", "a", "--settings"});
    EXPECT_TRUE(r.useSettings);
    ASSERT_FALSE(ResolveOptions(r, false, "/w", o));
    EXPECT_EQ(o.page, SortPage::FileName);
    EXPECT_FALSE(o.picCondition);
    EXPECT_EQ(o.dateCondition, DateCondition::Later);
    // A bare --settings takes no file name from the arguments that follow it.
    r = Parse({"sort", "--settings", "a", "b"});
    EXPECT_EQ(r.items, (std::vector<std::string>{"a", "b"}));
    unsetenv("XDG_CONFIG_HOME");
}

TEST(CliSources, GatheredInOrderOnceEach) {
    TempDir dir;
    WriteFile(dir / "one.txt", "1");
    WriteFile(dir / "walk/two.txt", "2");
    WriteFile(dir / "walk/sub/three.txt", "3");
    WriteFile(dir / "walk/sub/deeper/four.txt", "4");
    WriteFile(dir / "list.lst",
              dir / "one.txt" + "\r\n" + dir / "five.txt\r\n" + dir / "walk" + "\r\n");
    WriteFile(dir / "five.txt", "5");

    SourceList list;
    CliRequest r =
        Parse({"sort", "one.txt", "--walk", "walk", "--depth", "1", "--list", "list.lst"});
    ASSERT_FALSE(GatherSources(r, false, dir.path(), list));
    EXPECT_EQ(list.entries(),
              (std::vector<std::string>{dir / "one.txt", dir / "walk/two.txt",
                                        dir / "walk/sub/three.txt", dir / "five.txt"}));
    list.Clear();
    r = Parse({"sort", "--walk", "walk", "--all"});
    ASSERT_FALSE(GatherSources(r, false, dir.path(), list));
    EXPECT_EQ(list.size(), 3u);
    list.Clear();
    r = Parse({"sort", "--walk", "walk"});
    ASSERT_FALSE(GatherSources(r, false, dir.path(), list));
    EXPECT_EQ(list.entries(), (std::vector<std::string>{dir / "walk/two.txt"}));

    // Folders for the folder sort.
    list.Clear();
    r = Parse({"sort-folders", "walk", "--subfolders", "walk", "--list", "list.lst"});
    ASSERT_FALSE(GatherSources(r, true, dir.path(), list));
    EXPECT_EQ(list.entries(), (std::vector<std::string>{dir / "walk", dir / "walk/sub"}));

    struct Case {
        std::vector<const char*> line;
        const char* option;
    };
    for (const Case& c : {Case{{"sort", "missing.txt"}, "FILE"}, Case{{"sort", "walk"}, "FILE"},
                          Case{{"sort", "--walk", "one.txt"}, "--walk"},
                          Case{{"sort", "one.txt", "--depth", "2"}, "--depth"},
                          Case{{"sort", "--list", "nothing.lst"}, "--list"},
                          Case{{"sort-folders", "one.txt"}, "FOLDER"},
                          Case{{"sort-folders", "--subfolders", "gone"}, "--subfolders"}}) {
        list.Clear();
        r = Parse(c.line);
        const auto error = GatherSources(r, r.command == CliCommand::SortFolders, dir.path(), list);
        ASSERT_TRUE(error) << c.option;
        EXPECT_EQ(error->option, c.option);
    }
    // A folder named as a file is pointed to --walk.
    r = Parse({"sort", "walk"});
    list.Clear();
    EXPECT_NE(GatherSources(r, false, dir.path(), list)->message.find("--walk"), std::string::npos);
}

}  // namespace
