// The promise of "look first, sort, put back" as one invariant, over every
// page of both windows, both modes and every same-name answer, on a tree
// with clashes of its own (one name in two folders, keyword chains), older
// files in the output, links and dangling links: the preview's placements
// are the run's, and undo gives back the tree byte for byte, times and
// modes included.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "FileChecks.h"
#include "FolderSort.h"
#include "HandMadePictures.h"
#include "JournalHost.h"
#include "JournalRecorder.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "RunJournal.h"
#include "RunPlanner.h"
#include "RunUndo.h"
#include "ScopedEnv.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;
namespace fs = std::filesystem;

namespace {

// Every entry below root: its kind, bytes (a link's text), mode and time.
using Tree = std::map<std::string, std::string>;

Tree Snapshot(const std::string& root) {
    Tree tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const std::string path = it->path().string();
        const struct stat st = LStat(path);
        std::string facts = std::to_string(st.st_mode) + " ";
        if (S_ISLNK(st.st_mode)) {
            facts += "link " + fs::read_symlink(path).string();
        } else if (S_ISREG(st.st_mode)) {
            facts += std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) +
                     " " + ReadFile(path);
        }
        tree[path.substr(root.size())] = facts;
    }
    return tree;
}

class PlanHost : public RecordingHost {
  public:
    RunPlanner* planner() override { return &m_planner; }
    RunPlan plan;

  private:
    RunPlanner m_planner{plan};
};

struct Page {
    const char* name;
    bool folders;  // the folder window
    std::function<void(SortOptions&)> set;
};

const std::vector<Page>& Pages() {
    static const std::vector<Page> pages = {
        {"keywords", false,
         [](SortOptions& o) {
             o.page = SortPage::Keys;
             o.keywordText = "x rep";  // "x rep.txt" goes to both: a chain under 编号
         }},
        {"name", false,
         [](SortOptions& o) {
             o.page = SortPage::FileName;
             o.useNamePart = true;
             o.partBeginText = "1";
             o.partEndText = "1";
         }},
        {"type", false, [](SortOptions& o) { o.page = SortPage::FileType; }},
        {"size", false,
         [](SortOptions& o) {
             o.page = SortPage::FileSize;
             o.sizeText = "1000";
             o.sizeCondition = SizeCondition::Less;
         }},
        {"date", false,
         [](SortOptions& o) {
             o.page = SortPage::FileDate;
             o.dateSource = DateSource::Modified;
             o.dateCondition = DateCondition::Earlier;
             o.thresholdDate = CivilDate{2030, 1, 1};
         }},
        {"picture", false,
         [](SortOptions& o) {
             o.page = SortPage::PicSize;
             o.picText = "1";
             for (const char* type : kPictureTypes) o.picturePatterns.push_back(type);
         }},
        {"taken", false,
         [](SortOptions& o) {
             // No recorded dates: by last-write time, into 2017/07.
             o.page = SortPage::TakenDate;
             o.takenFromModified = true;
             o.takenPatterns = {"*.TXT", "*.DOC", "*.BMP"};
         }},
        {"folders by keyword", true,
         [](SortOptions& o) {
             o.page = SortPage::Keys;
             o.keywordText = "a b";
         }},
    };
    return pages;
}

struct Answer {
    const char* name;
    SameFilePolicy policy;
    bool yes;  // the answer to every question (是 / 全部是, 否 / 全部否)
};

const Answer kAnswers[] = {
    {"rename", SameFilePolicy::Rename, false},
    {"overwrite", SameFilePolicy::Overwrite, false},
    {"skip", SameFilePolicy::Skip, false},
    {"newer", SameFilePolicy::EditFileTime, false},
    {"ask yes", SameFilePolicy::Ask, true},
    {"ask no", SameFilePolicy::Ask, false},
    {"identical", SameFilePolicy::Identical, false},
};

class UndoRoundTripTest : public ::testing::Test {
  protected:
    // The sources: one name in two folders, a name two keywords select, a
    // picture, a relative link to a file beside it, a dangling link; for the
    // folder window, two trees holding the same.
    std::vector<std::string> MakeSources(bool folders) {
        int64_t time = 1'500'000'000;
        auto file = [&](const std::string& name, const std::string& content) {
            WriteFile(m_dir / ("src/" + name), content, time += 1000);
            return m_dir / ("src/" + name);
        };
        std::vector<std::string> list = {
            file("a/x.txt", "a's x"),        file("b/x.txt", "b's x"),
            file("a/x rep.txt", "both"),     file("b/1report.doc", "doc"),
            file("a/p.bmp", BmpBytes(3, 2)),
        };
        // A link met before the file it points to, one to a file of the same
        // name elsewhere, and one that leads nowhere.
        EXPECT_EQ(::symlink("1report.doc", (m_dir / "src/b/xlink.doc").c_str()), 0);
        EXPECT_EQ(::symlink("../b/x.txt", (m_dir / "src/a/c/x.txt").c_str()) == 0 ||
                      (fs::create_directories(m_dir / "src/a/c"),
                       ::symlink("../../b/x.txt", (m_dir / "src/a/c/x.txt").c_str()) == 0),
                  true);
        EXPECT_EQ(::symlink("../nowhere.txt", (m_dir / "src/b/dangling.txt").c_str()), 0);
        list.insert(list.begin() + 1, m_dir / "src/a/c/x.txt");
        list.insert(list.begin() + 3, m_dir / "src/b/xlink.doc");
        list.push_back(m_dir / "src/b/dangling.txt");
        ::chmod((m_dir / "src/b/1report.doc").c_str(), 0640);
        if (folders) return {m_dir / "src/a", m_dir / "src/b"};
        return list;
    }

    SortOptions Options(const Page& page, TransferMode mode, SameFilePolicy policy) {
        SortOptions o;
        o.outputDir = m_dir / "out/";
        o.transferMode = mode;
        o.sameFilePolicy = policy;
        page.set(o);
        return o;
    }

    void Run(const Page& page, const SortOptions& o, const std::vector<std::string>& sources,
             SortHost& host) {
        if (page.folders)
            RunFolderSort(o, sources, host);
        else
            RunFileSort(o, sources, host);
    }

    RunPlan Plan(const Page& page, const SortOptions& o, const std::vector<std::string>& sources) {
        PlanHost host;
        Run(page, o, sources, host);
        return host.plan;
    }

    TempDir m_dir;
    TempDir m_home;
    ScopedEnv m_dataHome{"XDG_DATA_HOME", m_home / "data"};
};

bool Places(PlanAction action, bool yes) {
    switch (action) {
        case PlanAction::Copy:
        case PlanAction::Move:
        case PlanAction::Overwrite:
        case PlanAction::Renamed:
        case PlanAction::NewerReplace:
            return true;
        case PlanAction::Ask:
            return yes;
        default:
            return false;
    }
}

TEST_F(UndoRoundTripTest, PlanIsRunAndUndoGivesBackTheTree) {
    int cases = 0;
    for (const Page& page : Pages()) {
        for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
            if (page.folders && mode == TransferMode::Move) continue;  // the folder window copies
            for (const Answer& answer : kAnswers) {
                SCOPED_TRACE(std::string(page.name) + ", " +
                             (mode == TransferMode::Move ? "move" : "copy") + ", " + answer.name);
                fs::remove_all(m_dir.path());
                fs::create_directories(m_dir / "out");
                fs::remove_all(m_home / "data");
                fs::remove_all(m_home / "state");
                RunJournal journal;
                ASSERT_EQ(journal.open(m_home / "state/journal.sqlite"), 0);
                const std::vector<std::string> sources = MakeSources(page.folders);
                const SortOptions o = Options(page, mode, answer.policy);

                // Older files of the user's at every other target the run
                // would use, so that every answer meets clashes; the first
                // is the source itself under a second name (a hard link),
                // which the run leaves and undo must never take away; one
                // under the source's own name holds a copy of its bytes.
                const RunPlan first = Plan(page, o, sources);
                int n = 0;
                bool twin = false;
                for (const PlanRow& row : first.rows) {
                    if (row.target.empty() || !Places(row.action, true) || n++ % 2) continue;
                    if (Exists(row.target)) continue;
                    if (n == 1) {
                        fs::create_directories(fs::path(row.target).parent_path());
                        ASSERT_EQ(::link(row.source.c_str(), row.target.c_str()), 0) << row.target;
                    } else if (!twin && !fs::is_symlink(row.source) &&
                               fs::path(row.target).filename() == fs::path(row.source).filename()) {
                        WriteFile(row.target, ReadFile(row.source), 1000);
                        twin = true;
                    } else {
                        WriteFile(row.target, "the user's older file", 1000);
                    }
                }
                ASSERT_GT(n, 0);
                const RunPlan plan = Plan(page, o, sources);
                const Tree before = Snapshot(m_dir.path());
                if (answer.policy == SameFilePolicy::Identical && twin)
                    EXPECT_TRUE(std::any_of(
                        plan.rows.begin(), plan.rows.end(),
                        [](const PlanRow& r) { return r.action == PlanAction::SkipIdentical; }));

                JournalHost host(journal);
                for (size_t i = 0; i < 64; ++i) host.answers.push_back(answer.yes);
                Run(page, o, sources, host);
                const Tree after = Snapshot(m_dir.path());

                // Plan = run: the output paths the run made or changed are
                // exactly the targets of the plan's placements.
                // A question about a file that an earlier folder took (a move
                // to the first of two keywords) is asked, but moves nothing.
                std::set<std::string> planned, changed, moved;
                for (const PlanRow& row : plan.rows) {
                    if (!Places(row.action, answer.yes) ||
                        (!row.detail.empty() && row.action != PlanAction::Renamed) ||
                        moved.count(row.source))
                        continue;
                    planned.insert(row.target.substr(m_dir.path().size()));
                    if (mode == TransferMode::Move) moved.insert(row.source);
                }
                for (const auto& [path, facts] : after) {
                    if (path.rfind("/out/", 0) != 0 || LStat(m_dir.path() + path).st_mode & S_IFDIR)
                        continue;
                    const auto was = before.find(path);
                    if (was == before.end() || was->second != facts) changed.insert(path);
                }
                EXPECT_EQ(changed, planned);

                const auto runs = journal.runs(1);
                ASSERT_FALSE(runs.empty());
                RecordingHost undoHost;
                const UndoReport report = UndoRun(journal, runs[0].id, undoHost);
                EXPECT_EQ(report.kept, 0u) << ::testing::PrintToString(undoHost.calls);
                EXPECT_EQ(Snapshot(m_dir.path()), before);
                EXPECT_NE(journal.runs(2)[1].undoneBy, 0);  // [0] is the undo itself
                ++cases;
            }
        }
    }
    EXPECT_EQ(cases, 7 * 2 * 7 + 7);
}

}  // namespace
