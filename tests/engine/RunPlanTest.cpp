// A preview's plan against what the run then does: every page, both modes,
// every same-name answer, clashes with files there before and with files the
// run itself places, and the keyword page's chained numbering.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "FaultySys.h"
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
    void beginRun(RunWindow, const SortOptions&) override { ++begun; }
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
    int begun = 0;
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
        case PlanAction::SkipIdentical:
            return FileOutcome::Skipped;
        default:
            return FileOutcome::Failed;
    }
}

using Key = std::tuple<std::string, std::string, FileOutcome>;  // source, target, outcome

// The preview's rows against the run's records: the same placements, to the
// same targets, with the same outcomes. gone: a source deleted after listing.
void ExpectPlanIsRun(const RunPlan& plan, const OutcomeRecorder& rec, const std::string& gone,
                     size_t& placements, size_t& notSelected) {
    notSelected = 0;
    std::multiset<Key> planned, done;
    for (const PlanRow& row : plan.rows) {
        if (row.action == PlanAction::NotSelected) {
            ++notSelected;
            continue;
        }
        planned.insert({row.source, row.target, Expected(row.action)});
    }
    for (size_t i = 0; i < rec.records.size(); ++i) {
        const PlacementRecord& r = rec.records[i];
        // A move's later folders find no source: the run passes them over.
        if (r.outcome == FileOutcome::Failed && r.error == ENOENT && rec.sources[i] != gone)
            continue;
        done.insert({rec.sources[i], r.outcome == FileOutcome::Failed ? std::string() : r.target,
                     r.outcome});
    }
    // A refused row has no target; nor has the run's failure.
    std::multiset<Key> plannedForCompare;
    for (const Key& k : planned)
        plannedForCompare.insert(
            {std::get<0>(k), std::get<2>(k) == FileOutcome::Failed ? std::string() : std::get<1>(k),
             std::get<2>(k)});
    EXPECT_EQ(plannedForCompare, done);
    placements = planned.size();
}

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
            src("b/图.bmp", BmpBytes(30, 5), 2'000'000'000),
            // Twins for 相同则跳过: of a file the run places before it, of one there before.
            src("b/noext", "e", 1'000'000'000), src("b/同.txt", "same", 1'000'000'000)};
        m_sources.push_back(*m_dir / "src/gone.txt");  // listed, then deleted
        // There before the run: older, newer, and one under a numbered name.
        WriteFile(*m_dir / "out/.txt/西游记.txt", "old", 1'000'000'000);
        WriteFile(*m_dir / "out/.doc/红楼梦.doc", "newer", 2'000'000'000);
        WriteFile(*m_dir / "out/游记/西游记_1.txt", "taken", 1'000'000'000);
        WriteFile(*m_dir / "out/楼/游记 楼.txt", "old", 1'000'000'000);
        WriteFile(*m_dir / "out/.txt/同.txt", "same", 1'000'000'000);
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
        // Taken dates: none recorded, so by last-write time, 2033 being no date.
        o.takenPatterns = {"*.TXT", "*.DOC", "*.BMP"};
        o.takenFromModified = true;
        return o;
    }

    std::unique_ptr<TempDir> m_dir;
    std::vector<std::string> m_sources;
};

// Each case twice: with each name looked at, and with every folder read at
// once (as the plan does with folders many files go into or come from).
TEST_F(RunPlanTest, ThePlanIsWhatTheRunDoes) {
    for (const int looksBeforeListing : {RunPlanner::kLooksBeforeListing, 0})
        for (const SortPage page :
             {SortPage::FileType, SortPage::Keys, SortPage::FileName, SortPage::FileSize,
              SortPage::FileDate, SortPage::PicSize, SortPage::TakenDate}) {
            for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
                for (const SameFilePolicy policy :
                     {SameFilePolicy::Ask, SameFilePolicy::Rename, SameFilePolicy::Overwrite,
                      SameFilePolicy::Skip, SameFilePolicy::EditFileTime,
                      SameFilePolicy::Identical}) {
                    SCOPED_TRACE(testing::Message()
                                 << "page " << static_cast<int>(page) << " mode "
                                 << static_cast<int>(mode) << " policy " << static_cast<int>(policy)
                                 << " listed after " << looksBeforeListing);
                    MakeTree();
                    const bool identical = policy == SameFilePolicy::Identical;
                    if (identical) {
                        // Past the comparison's first chunk, only the last byte differs.
                        std::string big = Pattern((1u << 20) + 7, 9);
                        WriteFile(*m_dir / "src/b/big.dat", big, 1'000'000'000);
                        m_sources.insert(m_sources.end() - 1, *m_dir / "src/b/big.dat");
                        big.back() ^= 1;
                        WriteFile(*m_dir / "out/.dat/big.dat", big, 1'000'000'000);
                    }
                    const std::vector<std::string> before = Names(*m_dir / "out");
                    RunPlan plan;
                    RunPlanner planner(plan, looksBeforeListing);
                    RecordingHost window;
                    PlanningHost planning(window, planner);
                    RunFileSort(Options(page, mode, policy), m_sources, planning);
                    // Nothing was written, no folder made, no closing message.
                    EXPECT_EQ(Names(*m_dir / "out"), before);
                    EXPECT_TRUE(IsFile(m_sources[0]));
                    EXPECT_TRUE(window.of("info").empty());

                    RecordedHost real;
                    RunFileSort(Options(page, mode, policy), m_sources, real);

                    size_t planned = 0, notSelected = 0;
                    ExpectPlanIsRun(plan, real.rec, m_sources.back(), planned, notSelected);
                    if (identical && page == SortPage::FileType) {
                        // The plan equal to the run says nothing of the comparison itself.
                        std::set<Key> done;
                        for (size_t i = 0; i < real.rec.records.size(); ++i)
                            done.insert({real.rec.sources[i], real.rec.records[i].target,
                                         real.rec.records[i].outcome});
                        const std::string b = *m_dir / "src/b/";
                        for (const Key& k :
                             {Key{b + "noext", *m_dir / "out/noext", FileOutcome::Skipped},
                              Key{b + "同.txt", *m_dir / "out/.txt/同.txt", FileOutcome::Skipped},
                              Key{b + "big.dat", *m_dir / "out/.dat/big_1.dat",
                                  FileOutcome::Renamed},
                              Key{b + "西游记.txt", *m_dir / "out/.txt/西游记_2.txt",
                                  FileOutcome::Renamed}})
                            EXPECT_EQ(done.count(k), 1u) << std::get<0>(k);
                    }
                    EXPECT_GE(planned, 2u);      // every page places something here
                    EXPECT_GE(notSelected, 1u);  // skip.bin at least
                }
            }
        }
}

// Several plans as one run: each file through the plans in turn, a move
// ending its way and a copy letting the later plans see it; the preview
// shows the whole run.
TEST_F(RunPlanTest, SeveralPlansAreOneRunWhereTheFirstMoveWins) {
    for (const TransferMode middle : {TransferMode::Move, TransferMode::Copy}) {
        SCOPED_TRACE(static_cast<int>(middle));
        MakeTree();
        auto plans = [&] {
            std::vector<SortOptions> p = {
                Options(SortPage::FileType, TransferMode::Copy, SameFilePolicy::Rename),
                Options(SortPage::Keys, middle, SameFilePolicy::Rename),
                Options(SortPage::FileSize, TransferMode::Copy, SameFilePolicy::Rename)};
            for (size_t k = 0; k < p.size(); ++k)
                p[k].outputDir = *m_dir / ("out" + std::to_string(k + 1) + "/");
            return p;
        };
        RunPlan plan;
        RunPlanner planner(plan);
        RecordingHost window;
        PlanningHost planning(window, planner);
        RunFileSort(plans(), m_sources, planning);
        RecordedHost real;
        RunFileSort(plans(), m_sources, real);
        size_t placements = 0, notSelected = 0;
        ExpectPlanIsRun(plan, real.rec, m_sources.back(), placements, notSelected);
        EXPECT_EQ(real.rec.begun, 1);
        EXPECT_EQ(real.of("info").size(), 1u);

        // The keyword plan takes the files with 游记 or 楼 in their names.
        for (const std::string& source : m_sources) {
            if (source == m_sources.back() || source.find("skip.bin") != std::string::npos)
                continue;
            const std::string name = source.substr(source.rfind('/') + 1);
            const bool keyed =
                name.find("游记") != std::string::npos || name.find("楼") != std::string::npos;
            std::set<std::string> outputs;
            for (size_t i = 0; i < real.rec.sources.size(); ++i)
                if (real.rec.sources[i] == source &&
                    real.rec.records[i].outcome != FileOutcome::Failed)
                    outputs.insert(real.rec.records[i].target.substr(m_dir->path().size() + 1, 4));
            const std::set<std::string> expected =
                !keyed                         ? std::set<std::string>{"out1", "out3"}
                : middle == TransferMode::Move ? std::set<std::string>{"out1", "out2"}
                                               : std::set<std::string>{"out1", "out2", "out3"};
            EXPECT_EQ(outputs, expected) << name;
            EXPECT_EQ(IsFile(source), !keyed || middle == TransferMode::Copy) << name;
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

// A folder many files come from or go into is read once rather than looked
// at name by name: a name it lacks is free without a look, and only a name
// found taken is looked at.
TEST(RunPlanListingTest, AFolderOfManyFilesIsReadOnceNotLookedAtNameByName) {
    TempDir dir;
    constexpr int kFiles = 1000;
    std::vector<std::string> sources;
    for (int i = 0; i < kFiles; ++i) {
        sources.push_back(dir / ("src/f" + std::to_string(i) + ".txt"));
        WriteFile(sources.back(), "new");
        if (i % 20 == 0) WriteFile(dir / ("out/.txt/f" + std::to_string(i) + ".txt"), "there");
    }
    SortOptions o;
    o.page = SortPage::FileType;
    o.outputDir = dir / "out/";
    o.sameFilePolicy = SameFilePolicy::Rename;
    RunPlan plan;
    FaultySys sys;
    {
        RunPlanner planner(plan);
        RecordingHost window;
        PlanningHost planning(window, planner);
        ScopedSys scoped(sys);
        RunFileSort(o, sources, planning);
    }
    // The plan itself is checked against the run above, folders read at once.
    ASSERT_EQ(plan.rows.size(), size_t{kFiles});
    EXPECT_EQ(plan.rows[980].target, dir / "out/.txt/f980_1.txt");
    // Each folder's first names one by one (a sixteenth or so), then a
    // look only at each file met under its name: fewer looks than files,
    // where each file's source and target name were looked at.
    EXPECT_LT(sys.calls(SysOp::Lstat) + sys.calls(SysOp::Stat), kFiles / 2);
}
