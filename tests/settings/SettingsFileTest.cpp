#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "SettingsFile.h"
#include "Sys.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::MakeDir;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Patterns = std::vector<std::string>;

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        programDir = tmp / "prog";
        MakeDir(programDir);
        ini = tmp / "config/Zanfeld.ini";
        MakeDir(tmp / "config");
    }
    FileWindowSettings LoadFile() { return LoadFileWindowSettings(ini, programDir); }
    FolderWindowSettings LoadFolder() { return LoadFolderWindowSettings(ini, programDir); }
    void Store(const std::string& text) { WriteFile(ini, text); }

    TempDir tmp;
    std::string programDir;
    std::string ini;
};

void ExpectFileDefaults(const FileWindowSettings& s, const std::string& outDir) {
    EXPECT_EQ(s.filter, "");
    EXPECT_EQ(s.sameFilePolicy, SameFilePolicy::Skip);
    EXPECT_EQ(s.outDir, outDir);
    EXPECT_EQ(s.page, 0);
    EXPECT_FALSE(s.picHeight);
    EXPECT_EQ(s.cmbPic, 0);
    EXPECT_EQ(s.picSizeValue, "");
    EXPECT_EQ(s.cmbCondition, 0);
    EXPECT_EQ(s.cmbUnit, 0);
    EXPECT_EQ(s.fileSize, "");
    EXPECT_EQ(s.edtKeys, "");
    EXPECT_TRUE(s.suffixFilter.empty());
    EXPECT_FALSE(s.dtDate.has_value());
    EXPECT_FALSE(s.dtTime.has_value());
    EXPECT_FALSE(s.fileAttrModified);
    EXPECT_EQ(s.cmbFileDate, 0);
}

void ExpectFolderDefaults(const FolderWindowSettings& s, const std::string& outDir) {
    EXPECT_EQ(s.filter, "");
    EXPECT_EQ(s.sameFilePolicy, SameFilePolicy::Skip);
    EXPECT_EQ(s.outDir, outDir);
    EXPECT_EQ(s.page, 0);
    EXPECT_EQ(s.edtKeys, "");
    EXPECT_FALSE(s.dtDate.has_value());
    EXPECT_FALSE(s.dtTime.has_value());
    EXPECT_EQ(s.cmbFileDate, 0);
}

TEST_F(SettingsFileTest, FirstStartGivesEveryDefault) {
    ExpectFileDefaults(LoadFile(), programDir + "/");
    ExpectFolderDefaults(LoadFolder(), programDir + "/");
    // A program folder that is gone leaves the output box empty.
    ExpectFileDefaults(LoadFileWindowSettings(ini, tmp / "gone"), "");
    // Sections and keys are matched without regard to letter case; a missing
    // key in a present section still takes its default.
    Store("[parameter]\nfilter=abc\n");
    const FileWindowSettings s = LoadFile();
    EXPECT_EQ(s.filter, "abc");
    EXPECT_EQ(s.outDir, programDir + "/");
    ExpectFolderDefaults(LoadFolder(), programDir + "/");
}

TEST_F(SettingsFileTest, EveryKeyRoundTrips) {
    MakeDir(tmp / "out");
    FileWindowSettings f;
    f.filter = "abc";
    f.sameFilePolicy = SameFilePolicy::EditFileTime;
    f.outDir = tmp / "out/";
    f.page = 5;
    f.picHeight = true;
    f.cmbPic = 2;
    f.picSizeValue = "800";
    f.cmbCondition = 1;
    f.cmbUnit = 1;
    f.fileSize = "100";
    f.edtKeys = "cat dog";
    f.suffixFilter = {"*.jpg", "*.doc"};
    f.dtDate = CivilDate{2020, 2, 29};
    f.dtTime = TimeOfDay{23, 59, 58};
    f.fileAttrModified = true;
    f.cmbFileDate = 1;
    ASSERT_EQ(SaveFileWindowSettings(ini, f), "");

    FolderWindowSettings d;
    d.filter = "x";
    d.sameFilePolicy = SameFilePolicy::Rename;
    d.outDir = tmp / "out/";
    d.page = 2;
    d.edtKeys = "k";
    d.dtDate = CivilDate{1999, 12, 31};
    d.dtTime = TimeOfDay{7, 8, 9};
    d.cmbFileDate = -1;
    ASSERT_EQ(SaveFolderWindowSettings(ini, d), "");

    EXPECT_EQ(ReadFile(ini),
              "[Parameter]\n"
              "Filter=abc\n"
              "SameFile=4\n"
              "OutDir=" +
                  tmp / "out/" +
                  "\n"
                  "Page=5\n"
                  "PicSize=1\n"
                  "CmbPic=2\n"
                  "PicSizeValue=800\n"
                  "CmbCondition=1\n"
                  "CmbUnit=1\n"
                  "FileSize=100\n"
                  "EdtKeys=cat dog\n"
                  "SuffixFilter=*.jpg|*.doc|\n"
                  "DTDate=2020-02-29\n"
                  "DTTime=23:59:58\n"
                  "FileAttr=1\n"
                  "CmbFileDate=1\n"
                  "\n\n"
                  "[Parameter2]\n"
                  "Filter=x\n"
                  "SameFile=3\n"
                  "OutDir=" +
                  tmp / "out/" +
                  "\n"
                  "Page=2\n"
                  "EdtKeys=k\n"
                  "DTDate=1999-12-31\n"
                  "DTTime=07:08:09\n"
                  "CmbFileDate=-1\n");

    const FileWindowSettings g = LoadFile();
    EXPECT_EQ(g.filter, f.filter);
    EXPECT_EQ(g.sameFilePolicy, f.sameFilePolicy);
    EXPECT_EQ(g.outDir, f.outDir);
    EXPECT_EQ(g.page, 5);
    EXPECT_TRUE(g.picHeight);
    EXPECT_EQ(g.cmbPic, 2);
    EXPECT_EQ(g.picSizeValue, "800");
    EXPECT_EQ(g.cmbCondition, 1);
    EXPECT_EQ(g.cmbUnit, 1);
    EXPECT_EQ(g.fileSize, "100");
    EXPECT_EQ(g.edtKeys, "cat dog");
    EXPECT_EQ(g.suffixFilter, f.suffixFilter);
    ASSERT_TRUE(g.dtDate && g.dtTime);
    EXPECT_EQ(g.dtDate->year, 2020);
    EXPECT_EQ(g.dtDate->month, 2);
    EXPECT_EQ(g.dtDate->day, 29);
    EXPECT_EQ(g.dtTime->hour, 23);
    EXPECT_EQ(g.dtTime->minute, 59);
    EXPECT_EQ(g.dtTime->second, 58);
    EXPECT_TRUE(g.fileAttrModified);
    EXPECT_EQ(g.cmbFileDate, 1);

    const FolderWindowSettings e = LoadFolder();
    EXPECT_EQ(e.filter, "x");
    EXPECT_EQ(e.sameFilePolicy, SameFilePolicy::Rename);
    EXPECT_EQ(e.outDir, d.outDir);
    EXPECT_EQ(e.page, 2);
    EXPECT_EQ(e.edtKeys, "k");
    ASSERT_TRUE(e.dtDate && e.dtTime);
    EXPECT_EQ(e.dtDate->year, 1999);
    EXPECT_EQ(e.dtTime->second, 9);
    EXPECT_EQ(e.cmbFileDate, -1);
}

TEST_F(SettingsFileTest, SameFileEncoding) {
    const std::pair<const char*, SameFilePolicy> cases[] = {
        {"0", SameFilePolicy::Skip},         {"1", SameFilePolicy::Overwrite},
        {"2", SameFilePolicy::Ask},          {"3", SameFilePolicy::Rename},
        {"4", SameFilePolicy::EditFileTime}, {"5", SameFilePolicy::Identical},
        {"7", SameFilePolicy::Skip},         {"-1", SameFilePolicy::Skip},
        {"0x3", SameFilePolicy::Rename},     {"two", SameFilePolicy::Skip},
        {"", SameFilePolicy::Skip}};
    for (const auto& [stored, policy] : cases) {
        SCOPED_TRACE(stored);
        Store(std::string("[Parameter]\nSameFile=") + stored +
              "\n[Parameter2]\nSameFile=" + stored + "\n");
        EXPECT_EQ(LoadFile().sameFilePolicy, policy);
        EXPECT_EQ(LoadFolder().sameFilePolicy, policy);
    }
    // 7 reads as Skip and is written back as 0.
    Store("[Parameter]\nSameFile=7\n");
    ASSERT_EQ(SaveFileWindowSettings(ini, LoadFile()), "");
    EXPECT_NE(ReadFile(ini).find("\nSameFile=0\n"), std::string::npos);
}

TEST_F(SettingsFileTest, PageOutsideThePagesIsNotApplied) {
    const std::pair<const char*, std::optional<int>> fileCases[] = {
        {"0", 0}, {"5", 5}, {"6", 6}, {"7", std::nullopt}, {"-1", std::nullopt}, {"$5", 5}, {"junk", 0}};
    for (const auto& [stored, page] : fileCases) {
        SCOPED_TRACE(stored);
        Store(std::string("[Parameter]\nPage=") + stored + "\n");
        EXPECT_EQ(LoadFile().page, page);
    }
    const std::pair<const char*, std::optional<int>> folderCases[] = {
        {"2", 2}, {"3", std::nullopt}, {"-1", std::nullopt}, {"6", std::nullopt}};
    for (const auto& [stored, page] : folderCases) {
        SCOPED_TRACE(stored);
        Store(std::string("[Parameter2]\nPage=") + stored + "\n");
        EXPECT_EQ(LoadFolder().page, page);
    }
}

TEST_F(SettingsFileTest, IntegersAreDecimalOrHexadecimalAndComboIndicesStayAsTheyAre) {
    Store(
        "[Parameter]\nCmbPic=0x10\nCmbCondition=$1F\nCmbUnit=-1\nCmbFileDate=12abc\n"
        "PicSize=2\nFileAttr=0X0\n");
    FileWindowSettings s = LoadFile();
    EXPECT_EQ(s.cmbPic, 16);
    EXPECT_EQ(s.cmbCondition, 31);
    EXPECT_EQ(s.cmbUnit, -1);
    EXPECT_EQ(s.cmbFileDate, 0);  // unreadable: the default
    EXPECT_TRUE(s.picHeight);     // any value but 0 picks the height
    EXPECT_FALSE(s.fileAttrModified);
    ASSERT_EQ(SaveFileWindowSettings(ini, s), "");
    const std::string text = ReadFile(ini);
    EXPECT_NE(text.find("\nCmbPic=16\n"), std::string::npos);
    EXPECT_NE(text.find("\nCmbUnit=-1\n"), std::string::npos);
    EXPECT_NE(text.find("\nPicSize=1\n"), std::string::npos);

    Store("[Parameter]\nCmbPic=99999999999\nCmbUnit=\n");
    s = LoadFile();
    EXPECT_EQ(s.cmbPic, 0);
    EXPECT_EQ(s.cmbUnit, 0);
}

TEST_F(SettingsFileTest, OutDirIsAppliedOnlyWhenItIsAFolder) {
    MakeDir(tmp / "out");
    WriteFile(tmp / "file", "x");
    Store("[Parameter]\nOutDir=" + tmp / "out/" + "\n[Parameter2]\nOutDir=" + tmp / "file" + "\n");
    EXPECT_EQ(LoadFile().outDir, tmp / "out/");
    EXPECT_EQ(LoadFolder().outDir, "");
    Store("[Parameter]\nOutDir=\n[Parameter2]\nOutDir=" + tmp / "missing/" + "\n");
    EXPECT_EQ(LoadFile().outDir, "");
    EXPECT_EQ(LoadFolder().outDir, "");
    // A root program folder keeps a single separator.
    Store("");
    EXPECT_EQ(LoadFileWindowSettings(ini, "/").outDir, "/");
}

TEST_F(SettingsFileTest, SuffixFilterReadingAndWriting) {
    Store("[Parameter]\nSuffixFilter=*.txt  |*.doc||| *.jpg  \n");
    EXPECT_EQ(LoadFile().suffixFilter, (Patterns{"*.txt  ", "*.doc", "*.jpg"}));
    // The first pattern keeps its blanks, the last is trimmed.
    Store("[Parameter]\nSuffixFilter=*.a | \t*.b | *.c\n");
    EXPECT_EQ(LoadFile().suffixFilter, (Patterns{"*.a ", " \t*.b ", "*.c"}));
    Store("[Parameter]\nSuffixFilter=*.one\n");
    EXPECT_EQ(LoadFile().suffixFilter, (Patterns{"*.one"}));
    Store("[Parameter]\nSuffixFilter=*.a|*.a|\n");
    EXPECT_EQ(LoadFile().suffixFilter, (Patterns{"*.a", "*.a"}));
    Store("[Parameter]\nSuffixFilter=|||\n");
    EXPECT_TRUE(LoadFile().suffixFilter.empty());

    FileWindowSettings s;
    s.suffixFilter = {"*.a", "", " *.b"};
    ASSERT_EQ(SaveFileWindowSettings(ini, s), "");
    EXPECT_NE(ReadFile(ini).find("\nSuffixFilter=*.a| *.b|\n"), std::string::npos);
    s.suffixFilter.clear();
    ASSERT_EQ(SaveFileWindowSettings(ini, s), "");
    EXPECT_NE(ReadFile(ini).find("\nSuffixFilter=\n"), std::string::npos);
}

TEST_F(SettingsFileTest, EdtKeysIsWrittenTrimmedAndReadAsItStands) {
    FileWindowSettings s;
    s.edtKeys = " \t cat  dog \r\n";
    FolderWindowSettings d;
    d.edtKeys = "  a b  ";
    ASSERT_EQ(SaveFileWindowSettings(ini, s), "");
    ASSERT_EQ(SaveFolderWindowSettings(ini, d), "");
    const std::string text = ReadFile(ini);
    EXPECT_NE(text.find("\nEdtKeys=cat  dog\n"), std::string::npos);
    EXPECT_NE(text.find("\nEdtKeys=a b\n"), std::string::npos);
    Store("[Parameter]\nEdtKeys=x ,, y\n");
    EXPECT_EQ(LoadFile().edtKeys, "x ,, y");
}

TEST_F(SettingsFileTest, DatesAndTimesThatCannotBeReadAreLeftOut) {
    const std::pair<const char*, bool> dates[] = {
        {"2013-05-06", true},  {"2024-02-29", true},   {"2023-02-29", false},
        {"2013-13-01", false}, {"2013-5-6", false},    {"2013/05/06", false},
        {"0000-01-01", false}, {"2013-05-06x", false}, {"", false}};
    for (const auto& [text, ok] : dates) {
        SCOPED_TRACE(text);
        Store(std::string("[Parameter]\nDTDate=") + text + "\n[Parameter2]\nDTDate=" + text + "\n");
        EXPECT_EQ(LoadFile().dtDate.has_value(), ok);
        EXPECT_EQ(LoadFolder().dtDate.has_value(), ok);
    }
    const std::pair<const char*, bool> times[] = {{"00:00:00", true},  {"23:59:59", true},
                                                  {"24:00:00", false}, {"12:60:00", false},
                                                  {"1:02:03", false},  {"noon", false}};
    for (const auto& [text, ok] : times) {
        SCOPED_TRACE(text);
        Store(std::string("[Parameter]\nDTTime=") + text + "\n");
        EXPECT_EQ(LoadFile().dtTime.has_value(), ok);
    }
}

TEST_F(SettingsFileTest, LongTextValuesAreCut) {
    Store("[Parameter]\nFilter=" + std::string(5000, 'f') + "\nEdtKeys=" + std::string(2046, 'k') +
          "\xC3\xA9" + "tail\n[Parameter2]\nFilter=" + std::string(2047, 'g') + "\n");
    EXPECT_EQ(LoadFile().filter, std::string(2047, 'f'));
    // A two-byte character across the limit is not split in half.
    EXPECT_EQ(LoadFile().edtKeys, std::string(2046, 'k'));
    EXPECT_EQ(LoadFolder().filter, std::string(2047, 'g'));
}

TEST_F(SettingsFileTest, SavingOneSectionKeepsEverythingElse) {
    const std::string other =
        "; Zanfeld settings\n"
        "\n"
        "; about the folder window\n"
        "[Parameter2]\n"
        "Filter=keep me\n"
        "; a comment on the page\n"
        "Page=2\n"
        "DTDate=2001-02-03\n"
        "\n"
        "[Other]\n"
        "name=value\n"
        "name=second value\n";
    Store(other +
          "[Parameter]\n"
          "; the keyword field\n"
          "EdtKeys=old\n"
          "Unknown=stays\n"
          "SameFile=2\n"
          "; closing remark\n");
    FileWindowSettings s = LoadFile();
    EXPECT_EQ(s.sameFilePolicy, SameFilePolicy::Ask);
    s.edtKeys = "new";
    s.sameFilePolicy = SameFilePolicy::Rename;
    ASSERT_EQ(SaveFileWindowSettings(ini, s), "");
    const std::string text = ReadFile(ini);
    for (const char* kept :
         {"; Zanfeld settings\n", "; about the folder window\n[Parameter2]\n", "Filter=keep me\n",
          "; a comment on the page\nPage=2\n", "DTDate=2001-02-03\n",
          "[Other]\nname=value\nname=second value\n", "; the keyword field\nEdtKeys=new\n",
          "Unknown=stays\n", "; closing remark\n"}) {
        EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n---\n" << text;
    }
    EXPECT_EQ(text.find("EdtKeys=old"), std::string::npos);
    EXPECT_EQ(text.find("SameFile=2"), std::string::npos);
    EXPECT_NE(text.find("SameFile=3\n"), std::string::npos);

    const FolderWindowSettings folder = LoadFolder();
    EXPECT_EQ(folder.filter, "keep me");
    EXPECT_EQ(folder.page, 2);
    ASSERT_TRUE(folder.dtDate);
    EXPECT_EQ(folder.dtDate->day, 3);

    // A second save changes nothing more.
    ASSERT_EQ(SaveFileWindowSettings(ini, s), "");
    EXPECT_EQ(ReadFile(ini), text);
}

TEST_F(SettingsFileTest, LineBreaksInAValueCannotForgeKeysOrSections) {
    FileWindowSettings s;
    s.filter = "a\n[Parameter2]\nPage=2\r\nSameFile=1";
    ASSERT_EQ(SaveFileWindowSettings(ini, s), "");
    EXPECT_EQ(LoadFile().filter, "a [Parameter2] Page=2  SameFile=1");
    EXPECT_EQ(LoadFile().sameFilePolicy, SameFilePolicy::Skip);
    EXPECT_EQ(LoadFolder().page, 0);
}

TEST_F(SettingsFileTest, ValuesThatAreNotUtf8RoundTrip) {
    const std::string out = tmp / "d\xFF\xE9/";
    MakeDir(out);
    FolderWindowSettings d;
    d.outDir = out;
    d.filter = "\xB9\xD8\xBC\xFC";  // GBK bytes
    ASSERT_EQ(SaveFolderWindowSettings(ini, d), "");
    const FolderWindowSettings e = LoadFolder();
    EXPECT_EQ(e.outDir, out);
    EXPECT_EQ(e.filter, d.filter);
}

TEST_F(SettingsFileTest, RefusedWritesAreReported) {
    WriteFile(tmp / "plain", "x");
    const std::string blocked = tmp / "plain/Zanfeld.ini";
    EXPECT_EQ(SaveFileWindowSettings(blocked, FileWindowSettings{}),
              "Unable to write to " + blocked);
    EXPECT_EQ(SaveFolderWindowSettings(blocked, FolderWindowSettings{}),
              "Unable to write to " + blocked);
    EXPECT_EQ(ReadFile(tmp / "plain"), "x");

    // A full disk leaves the old file as it was and no temporary file behind.
    const std::string before = "[Parameter]\nFilter=before\n";
    Store(before);
    class FullDisk : public Sys {
      public:
        ssize_t write(int, const void*, size_t) override {
            errno = ENOSPC;
            return -1;
        }
    } full;
    {
        ScopedSys scoped(full);
        FileWindowSettings s;
        s.filter = "after";
        EXPECT_EQ(SaveFileWindowSettings(ini, s), "Unable to write to " + ini);
    }
    EXPECT_EQ(ReadFile(ini), before);
    size_t names = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tmp / "config")) {
        (void)entry;
        ++names;
    }
    EXPECT_EQ(names, 1u);

    // A folder where the file should be is not replaced.
    const std::string folderIni = tmp / "dirini";
    MakeDir(folderIni + "/inside");
    EXPECT_EQ(SaveFileWindowSettings(folderIni, FileWindowSettings{}),
              "Unable to write to " + folderIni);
    EXPECT_TRUE(test::IsDir(folderIni + "/inside"));
}

TEST_F(SettingsFileTest, SaveCreatesTheMissingFolder) {
    const std::string nested = tmp / "a/b/Zanfeld.ini";
    ASSERT_EQ(SaveFolderWindowSettings(nested, FolderWindowSettings{}), "");
    EXPECT_TRUE(test::IsFile(nested));
}

TEST_F(SettingsFileTest, DefaultPathFollowsTheXdgRules) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const std::string savedHome = oldHome ? oldHome : "";

    ::setenv("XDG_CONFIG_HOME", "/cfg/x", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/cfg/x/Zanfeld.ini");
    ::setenv("XDG_CONFIG_HOME", "/cfg/y/", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/cfg/y/Zanfeld.ini");
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(DefaultSettingsPath(), "/home/someone/.config/Zanfeld.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(DefaultSettingsPath(), "/home/someone/.config/Zanfeld.ini");

    if (oldXdg) ::setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    if (oldHome)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
}

TEST_F(SettingsFileTest, BadFilesGiveDefaults) {
    const std::string expectedOut = programDir + "/";
    auto expectDefaults = [&](const char* what) {
        SCOPED_TRACE(what);
        const auto start = std::chrono::steady_clock::now();
        ExpectFileDefaults(LoadFile(), expectedOut);
        ExpectFolderDefaults(LoadFolder(), expectedOut);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    };

    Store("");
    expectDefaults("empty");

    std::mt19937 random(7);
    std::string noise(300000, '\0');
    for (char& c : noise) c = static_cast<char>(random() % 256);
    Store(noise);
    expectDefaults("binary");

    Store(std::string("\0[Parameter]\nFilter=hidden\n", 26));
    expectDefaults("NUL first");

    ::unlink(ini.c_str());
    MakeDir(ini);
    expectDefaults("folder");
    ::rmdir(ini.c_str());

    ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0);
    expectDefaults("pipe without a writer");
    ::unlink(ini.c_str());

    // 100 MB of lines that would all parse as keys.
    {
        const int fd = ::open(ini.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        std::string block = "[Parameter]\n";
        while (block.size() < (1 << 20)) block += "Filter=x\nPage=3\n";
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(::write(fd, block.data(), block.size()), ssize_t(block.size()));
        ::close(fd);
    }
    expectDefaults("100 MB");
    // Such a file is not ours to rewrite: the save is refused, the file kept.
    struct stat before;
    ASSERT_EQ(::stat(ini.c_str(), &before), 0);
    EXPECT_EQ(SaveFileWindowSettings(ini, FileWindowSettings{}), "Unable to write to " + ini);
    struct stat after;
    ASSERT_EQ(::stat(ini.c_str(), &after), 0);
    EXPECT_EQ(after.st_size, before.st_size);
}

}  // namespace
}  // namespace zanfeld
