// Plans and watched folders in the settings file: what is stored comes back
// as it was, under Chinese names too; a name that cannot be a section's is
// refused; a plan's save or removal keeps every other section, the windows'
// own saves keep the plans.
#include <gtest/gtest.h>

#include "FileChecks.h"
#include "SettingsFile.h"
#include "SortPlans.h"
#include "TempDir.h"
#include "WatchedFolders.h"

namespace zanfeld {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The options a plan keeps, each unlike its default.
SortPlan Plan(const std::string& name, int variant) {
    SortPlan p;
    p.name = name;
    SortOptions& o = p.options;
    o.page = static_cast<SortPage>(variant % 6);
    o.outputDir = "/srv/整理/" + std::to_string(variant) + "/";
    o.transferMode = variant % 2 ? TransferMode::Move : TransferMode::Copy;
    o.sameFilePolicy = variant % 3 ? SameFilePolicy::Identical : SameFilePolicy::Rename;
    o.typeFilter = variant % 2 ? TypeFilterMode::Exclude : TypeFilterMode::Include;
    o.typePatterns = {"*.jpg", "*.报告"};
    o.picturePatterns = {"*.PNG"};
    o.keywordText = "发票*合同";
    o.useNamePart = true;
    o.partBeginText = "2";
    o.partEndText = "5";
    o.nameFilter = "*.pdf";
    o.onlyMatchDir = true;
    o.sizeText = "12";
    o.sizeCondition = SizeCondition::Less;
    o.sizeUnit = std::nullopt;
    o.dateSource = DateSource::Modified;
    o.dateCondition = DateCondition::Later;
    o.thresholdDate = CivilDate{2024, 2, 29};
    o.thresholdTime = TimeOfDay{23, 5, 9};
    o.picDimension = PicDimension::Height;
    o.picCondition = PicCondition::Exactly;
    o.picText = "1080";
    o.takenGroup = TakenGroup::Day;
    o.takenFromName = false;
    o.takenFromModified = true;
    o.takenSkipUnknown = true;
    o.takenUnknownFolder = "无日期";
    o.takenPatterns = {"*.HEIC"};
    return p;
}

void ExpectSame(const SortPlan& a, const SortPlan& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.folders, b.folders);
    const SortOptions &x = a.options, &y = b.options;
    EXPECT_EQ(x.page, y.page);
    EXPECT_EQ(x.outputDir, y.outputDir);
    EXPECT_EQ(x.transferMode, y.transferMode);
    EXPECT_EQ(x.sameFilePolicy, y.sameFilePolicy);
    EXPECT_EQ(x.typeFilter, y.typeFilter);
    EXPECT_EQ(x.keywordText, y.keywordText);
    EXPECT_EQ(x.nameFilter, y.nameFilter);
    EXPECT_EQ(x.thresholdDate.day, y.thresholdDate.day);
    EXPECT_EQ(x.thresholdTime.minute, y.thresholdTime.minute);
    EXPECT_EQ(x.dateCondition, y.dateCondition);
    EXPECT_EQ(x.useNamePart, y.useNamePart);
    EXPECT_EQ(x.partBeginText, y.partBeginText);
    EXPECT_EQ(x.partEndText, y.partEndText);
    EXPECT_EQ(x.onlyMatchDir, y.onlyMatchDir);
    if (a.folders) return;  // the folder window has no more
    EXPECT_EQ(x.typePatterns, y.typePatterns);
    EXPECT_EQ(x.picturePatterns, y.picturePatterns);
    EXPECT_EQ(x.sizeText, y.sizeText);
    EXPECT_EQ(x.sizeCondition, y.sizeCondition);
    EXPECT_EQ(x.sizeUnit, y.sizeUnit);
    EXPECT_EQ(x.dateSource, y.dateSource);
    EXPECT_EQ(x.picDimension, y.picDimension);
    EXPECT_EQ(x.picCondition, y.picCondition);
    EXPECT_EQ(x.picText, y.picText);
    EXPECT_EQ(x.takenGroup, y.takenGroup);
    EXPECT_EQ(x.takenFromName, y.takenFromName);
    EXPECT_EQ(x.takenFromModified, y.takenFromModified);
    EXPECT_EQ(x.takenSkipUnknown, y.takenSkipUnknown);
    EXPECT_EQ(x.takenUnknownFolder, y.takenUnknownFolder);
    EXPECT_EQ(x.takenPatterns, y.takenPatterns);
}

TEST(SortPlansTest, PlansComeBackAsStoredBesideTheWindowsSections) {
    TempDir dir;
    const std::string ini = dir / "Zanfeld.ini";
    WriteFile(ini, "; mine\n[Parameter]\nFilter=*.txt\n[Other]\nKey=1\n");
    std::vector<SortPlan> saved;
    const char* names[] = {"下载整理", "Photos 2024", "a", "方案-月度·报表", "x.y=z"};
    for (int i = 0; i < 5; ++i) {
        saved.push_back(Plan(names[i], i));
        saved.back().folders = i == 4;
        if (saved.back().folders) saved.back().options.page = SortPage::Keys;
        ASSERT_EQ(SavePlan(ini, saved.back()), "") << names[i];
    }
    // A second save of a name replaces the plan in its place.
    saved[1] = Plan("Photos 2024", 7);
    ASSERT_EQ(SavePlan(ini, saved[1]), "");
    // The window's own save keeps the plans, and a plan's save kept its section.
    FileWindowSettings window;
    window.filter = "*.doc";
    window.takenGroup = 3;  // the taken-date page's keys, in a section of their own
    window.takenSkipUnknown = true;
    ASSERT_EQ(SaveFileWindowSettings(ini, window), "");

    const std::vector<SortPlan> loaded = LoadPlans(ini);
    ASSERT_EQ(loaded.size(), saved.size());
    for (size_t i = 0; i < saved.size(); ++i) {
        SCOPED_TRACE(saved[i].name);
        ExpectSame(loaded[i], saved[i]);
        const auto one = LoadPlan(ini, saved[i].name);
        ASSERT_TRUE(one);
        ExpectSame(*one, saved[i]);
    }
    const FileWindowSettings back = LoadFileWindowSettings(ini, "/");
    EXPECT_EQ(back.filter, "*.doc");
    EXPECT_EQ(back.takenGroup, 3);
    EXPECT_TRUE(back.takenSkipUnknown);
    EXPECT_FALSE(back.takenModified);

    ASSERT_EQ(DeletePlan(ini, "下载整理"), "");
    ASSERT_EQ(DeletePlan(ini, "下载整理"), "");  // gone already: nothing to do
    EXPECT_FALSE(LoadPlan(ini, "下载整理"));
    EXPECT_EQ(LoadPlans(ini).size(), saved.size() - 1);
    const std::string text = ReadFile(ini);
    EXPECT_NE(text.find("; mine"), std::string::npos);
    EXPECT_NE(text.find("[Other]\nKey=1"), std::string::npos);
    EXPECT_NE(text.find("[Plan:Photos 2024]"), std::string::npos);
}

TEST(SortPlansTest, NamesThatCannotBeSectionNamesAreRefused) {
    TempDir dir;
    const std::string ini = dir / "Zanfeld.ini";
    const std::pair<std::string, bool> names[] = {
        {"整理", true},          {"a b", true},           {std::string(64, 'x'), true},
        {"", false},             {"   ", false},          {std::string(65, 'x'), false},
        {"a]b", false},          {"[a", false},           {" a", false},
        {"a ", false},           {"a\nb", false},         {"a\tb", false},
        {"\xE6\x95", false},     {"a\x7F", false}};
    for (const auto& [name, usable] : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(PlanNameProblem(name).empty(), usable);
        EXPECT_EQ(SavePlan(ini, Plan(name, 1)).empty(), usable);
    }
    EXPECT_EQ(LoadPlans(ini).size(), 3u);
}

TEST(SortPlansTest, WatchedFoldersComeBackAndAShorterListLeavesNoneBehind) {
    TempDir dir;
    const std::string ini = dir / "Zanfeld.ini";
    WriteFile(ini, "[Parameter]\nFilter=*.txt\n");
    std::vector<WatchedFolder> folders = {
        {"/home/me/下载", {"下载整理", "Photos"}, true, 2, false},
        {"/mnt/相机", {"照片"}, false, 0, true},
        {"/tmp/x", {"a"}, true, 0, false}};
    ASSERT_EQ(SaveWatchedFolders(ini, folders), "");
    auto check = [&] {
        const auto loaded = LoadWatchedFolders(ini);
        ASSERT_EQ(loaded.size(), folders.size());
        for (size_t i = 0; i < folders.size(); ++i) {
            EXPECT_EQ(loaded[i].folder, folders[i].folder);
            EXPECT_EQ(loaded[i].plans, folders[i].plans);
            EXPECT_EQ(loaded[i].on, folders[i].on);
            EXPECT_EQ(loaded[i].depth, folders[i].depth);
            EXPECT_EQ(loaded[i].allLevels, folders[i].allLevels);
        }
    };
    check();
    folders.pop_back();
    ASSERT_EQ(SaveWatchedFolders(ini, folders), "");
    check();
    EXPECT_EQ(ReadFile(ini).find("Folder3"), std::string::npos);
    folders.clear();
    ASSERT_EQ(SaveWatchedFolders(ini, folders), "");
    check();
    EXPECT_EQ(LoadFileWindowSettings(ini, "/").filter, "*.txt");
}

}  // namespace
}  // namespace zanfeld
