// A preview's plan against what the run then does: every page, both modes,
// every same-name answer, clashes with files there before and with files the
// run itself places, and the keyword page's chained numbering.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <tuple>

#include "FileChecks.h"
#include "FolderSort.h"
#include "HandMadePictures.h"
#include "PlanningHost.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "RunPlanner.h"
#include "RunRecorder.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

// Each placement's source, final target and outcome.
class OutcomeRecorder : public RunRecorder {
  public:
    void beginRun(RunWindow, const SortOptions&) override {}
    int64_t intend(const std::string& source, const std::string&, TransferMode) override {
        sources.push_back(source);
        records.emplace_back();
        return static_cast<int64_t>(records.size());
    }
    void done(int64_t placement, const PlacementRecord& record) override {
        records[static_cast<size_t>(placement - 1)] = record;
    }
    void madeFolder(const std::string&) override {}
    void endRun(RunEnd, const RunCounts&) override {}
    bool ok() const override { return true; }
    std::vector<std::string> sources;
    std::vector<PlacementRecord> records;
};

class RecordedHost : public RecordingHost {
  public:
    RunRecorder* recorder() override { return &rec; }
    OutcomeRecorder rec;
};

// What the run reports for a placement, in the plan's terms.
FileOutcome Expected(PlanAction action) {
    switch (action) {
        case PlanAction::Copy:
        case PlanAction::Move:
            return FileOutcome::Placed;
        case PlanAction::Renamed:
            return FileOutcome::Renamed;
        case PlanAction::Overwrite:
        case PlanAction::NewerReplace:
            return FileOutcome::Overwritten;
        case PlanAction::Ask:  // the recording host answers No
        case PlanAction::SkipSameName:
        case PlanAction::NewerKeep:
            return FileOutcome::Skipped;
        default:
            return FileOutcome::Failed;
    }
}

using Key = std::tuple<std::string, std::string, FileOutcome>;  // source, target, outcome

class RunPlanTest : public ::testing::Test {
  protected:
    // The same tree made afresh for the plan and for the run.
    void MakeTree() {
        m_dir = std::make_unique<TempDir>();
        auto src = [&](const std::string& rel, const std::string& content, int64_t t) {
            WriteFile(*m_dir / ("src/" + rel), content, t);
            return *m_dir / ("src/" + rel);
        };
        m_sources = {
            src("a/西游记.txt", "a", 2'000'000'000), src("b/西游记.txt", "b", 2'000'000'000),
            src("a/红楼梦.doc", "c", 1'000'000'000), src("a/游记 楼.txt", "d", 1'500'000'000),
            src("a/noext", "e", 1'000'000'000), src("a/skip.bin", "f", 1'000'000'000),
            // Pictures wide enough for the picture page, under one name.
            src("a/图.bmp", BmpBytes(20, 10), 1'000'000'000),
            src("b/图.bmp", BmpBytes(30, 5), 2'000'000'000)};
        m_sources.push_back(*m_dir / "src/gone.txt");  // listed, then deleted
        // There before the run: older, newer, and one under a numbered name.
        WriteFile(*m_dir / "out/.txt/西游记.txt", "old", 1'000'000'000);
        WriteFile(*m_dir / "out/.doc/红楼梦.doc", "newer", 2'000'000'000);
        WriteFile(*m_dir / "out/游记/西游记_1.txt", "taken", 1'000'000'000);
        WriteFile(*m_dir / "out/楼/游记 楼.txt", "old", 1'000'000'000);
    }
    SortOptions Options(SortPage page, TransferMode mode, SameFilePolicy policy) {
        SortOptions o;
        o.page = page;
        o.outputDir = *m_dir / "out/";
        o.transferMode = mode;
        o.sameFilePolicy = policy;
        o.keywordText = "游记 楼";
        o.typeFilter = TypeFilterMode::Exclude;
        o.typePatterns = {"*.bin"};
        // Size: under 1 KB, which every small file is, so they all meet in one folder.
        o.sizeText = "1";
        o.sizeCondition = SizeCondition::Less;
        o.sizeUnit = SizeUnit::KB;
        // Date: changed after 2020, which some files were.
        o.dateSource = DateSource::Modified;
        o.dateCondition = DateCondition::Later;
        o.thresholdDate = CivilDate{2020, 1, 1};
        // Pictures at least 10 wide.
        o.picText = "10";
        o.picturePatterns = {"*.BMP"};
        return o;
    }

    std::unique_ptr<TempDir> m_dir;
    std::vector<std::string> m_sources;
};

TEST_F(RunPlanTest, ThePlanIsWhatTheRunDoes) {
    for (const SortPage page : {SortPage::FileType, SortPage::Keys, SortPage::FileName,
                                SortPage::FileSize, SortPage::FileDate, SortPage::PicSize}) {
        for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
            for (const SameFilePolicy policy :
                 {SameFilePolicy::Ask, SameFilePolicy::Rename, SameFilePolicy::Overwrite,
                  SameFilePolicy::Skip, SameFilePolicy::EditFileTime}) {
                SCOPED_TRACE(testing::Message()
                             << "page " << static_cast<int>(page) << " mode "
                             << static_cast<int>(mode) << " policy " << static_cast<int>(policy));
                MakeTree();
                const std::vector<std::string> before = Names(*m_dir / "out");
                RunPlan plan;
                RunPlanner planner(plan);
                RecordingHost window;
                PlanningHost planning(window, planner);
                RunFileSort(Options(page, mode, policy), m_sources, planning);
                // Nothing was written, no folder made, no closing message.
                EXPECT_EQ(Names(*m_dir / "out"), before);
                EXPECT_TRUE(IsFile(m_sources[0]));
                EXPECT_TRUE(window.of("info").empty());

                RecordedHost real;
                RunFileSort(Options(page, mode, policy), m_sources, real);

                std::multiset<Key> planned, done;
                size_t notSelected = 0;
                for (const PlanRow& row : plan.rows) {
                    if (row.action == PlanAction::NotSelected) {
                        ++notSelected;
                        continue;
                    }
                    planned.insert({row.source, row.target, Expected(row.action)});
                }
                for (size_t i = 0; i < real.rec.records.size(); ++i) {
                    const PlacementRecord& r = real.rec.records[i];
                    // A move's later folders find no source: the run passes them over.
                    if (r.outcome == FileOutcome::Failed && r.error == ENOENT &&
                        real.rec.sources[i] != m_sources.back())
                        continue;
                    done.insert({real.rec.sources[i],
                                 r.outcome == FileOutcome::Failed ? std::string() : r.target,
                                 r.outcome});
                }
                // A refused row has no target; nor has the run's failure.
                std::multiset<Key> plannedForCompare;
                for (const Key& k : planned)
                    plannedForCompare.insert(
                        {std::get<0>(k),
                         std::get<2>(k) == FileOutcome::Failed ? std::string() : std::get<1>(k),
                         std::get<2>(k)});
                EXPECT_EQ(plannedForCompare, done);
                EXPECT_GE(planned.size(), 2u);  // every page places something here
                EXPECT_GE(notSelected, 1u);     // skip.bin at least
            }
        }
    }
}

TEST_F(RunPlanTest, PlannedNumbersCountTheNamesThePlanTookAndTheRunNeverAsks) {
    MakeTree();
    RunPlan plan;
    RunPlanner planner(plan);
    RecordingHost window;
    PlanningHost planning(window, planner);
    RunFileSort(Options(SortPage::FileType, TransferMode::Copy, SameFilePolicy::Rename), m_sources,
                planning);
    std::map<std::string, std::string> targetOf;
    for (const PlanRow& row : plan.rows) targetOf[row.source] = row.target;
    // Both 西游记.txt meet the old one; the second also meets the first's number.
    EXPECT_EQ(targetOf[*m_dir / "src/a/西游记.txt"], *m_dir / "out/.txt/西游记_1.txt");
    EXPECT_EQ(targetOf[*m_dir / "src/b/西游记.txt"], *m_dir / "out/.txt/西游记_2.txt");
    EXPECT_TRUE(window.of("ask").empty());
}

TEST_F(RunPlanTest, AFolderSortPlansEveryFileOfItsTrees) {
    MakeTree();
    WriteFile(*m_dir / "out/a/a/红楼梦.doc", "there", 1'000'000'000);
    SortOptions o = Options(SortPage::FileName, TransferMode::Copy, SameFilePolicy::Skip);
    RunPlan plan;
    RunPlanner planner(plan);
    RecordingHost window;
    PlanningHost planning(window, planner);
    RunFolderSort(o, {*m_dir / "src/a"}, planning);
    std::map<std::string, PlanAction> actions;
    for (const PlanRow& row : plan.rows) actions[row.target] = row.action;
    EXPECT_EQ(actions[*m_dir / "out/a/a/红楼梦.doc"], PlanAction::SkipSameName);
    EXPECT_EQ(actions[*m_dir / "out/a/a/西游记.txt"], PlanAction::Copy);
    EXPECT_EQ(actions.size(), 6u);  // every file of src/a
    EXPECT_FALSE(IsDir(*m_dir / "out/a/a/sub"));
    EXPECT_EQ(Names(*m_dir / "out/a/a"), std::vector<std::string>{"红楼梦.doc"});
}

}  // namespace
