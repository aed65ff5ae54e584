// The preview: a copy sort planned (nothing touched) against the same sort
// made, and the preview window opened with the plan.

#include <sys/stat.h>

#include <QApplication>
#include <QEvent>
#include <QTableView>
#include <memory>
#include <string>
#include <vector>

#include "Bench.h"
#include "PlanTableModel.h"
#include "PlanningHost.h"
#include "PreviewWindow.h"
#include "RunFileSort.h"
#include "RunPlan.h"
#include "RunPlanner.h"
#include "SortTree.h"

namespace zanfeld::bench {

namespace {

// Where the output folder has something before the run: the folders of the
// first half of the types are there, and in them every tenth file of the type
// finds a file under its name already (Rename numbers it _1). The other
// types' folders are missing.
struct Clashes {
    std::vector<std::string> kinds;  // the type folders' names, by type
    size_t present = 0;              // types whose folder is there
    std::vector<bool> clash;         // per source
    size_t count = 0;

    Clashes(const SortTree& tree, const BenchOptions& o) : kinds(Extensions(o.extensions)) {
        present = kinds.size() / 2;
        for (size_t i = 0; i < tree.sources.size(); ++i) {
            const bool c = i % kinds.size() < present && (i / kinds.size()) % 10 == 0;
            clash.push_back(c);
            count += c;
        }
    }
};

// The sources with a fresh output folder out laid as clashes says, and the
// targets a sort with Rename gives them there.
SortTree WithClashes(const SortTree& shared, const std::string& out, const Clashes& clashes,
                     const BenchOptions& o) {
    SortTree tree = WithOutput(shared, out, Naming::ByType, o);
    for (size_t k = 0; k < clashes.present; ++k) MakeDir(out + "/" + clashes.kinds[k]);
    for (size_t i = 0; i < tree.targets.size(); ++i) {
        if (!clashes.clash[i]) continue;
        std::string& target = tree.targets[i];
        WriteBytes(target, "an older file under the same name\n");
        const size_t dot = target.rfind('.');
        target = target.substr(0, dot) + "_1" + target.substr(dot);
    }
    return tree;
}

// The plan holds one row per file, in order: a copy to its target, or for a
// clash a copy under the numbered name.
void CheckPlan(const RunPlan& plan, const SortTree& tree, const Clashes& clashes) {
    if (plan.rows.size() != tree.sources.size())
        Fail("the plan has " + std::to_string(plan.rows.size()) + " rows for " +
             std::to_string(tree.sources.size()) + " files");
    for (size_t i = 0; i < plan.rows.size(); ++i) {
        const PlanRow& row = plan.rows[i];
        const std::string& target = tree.targets[i];
        const PlanAction want = clashes.clash[i] ? PlanAction::Renamed : PlanAction::Copy;
        if (row.source != tree.sources[i] || row.target != target || row.action != want ||
            row.folder != target.substr(0, target.rfind('/')))
            Fail("the plan's row " + std::to_string(i) + " is " + row.source + " to " + row.target +
                 " (action " + std::to_string(static_cast<int>(row.action)) + "), not " +
                 tree.sources[i] + " to " + target);
    }
}

// The planned output folder is as it was laid: the clashing files and the
// folders of the first half of the types, nothing more.
void CheckUntouched(const SortTree& tree, const Clashes& clashes) {
    if (const size_t files = CountFiles(tree.out); files != clashes.count)
        Fail("the preview left " + std::to_string(files) + " files in " + tree.out + ", not " +
             std::to_string(clashes.count));
    for (size_t k = clashes.present; k < clashes.kinds.size(); ++k) {
        struct stat st;
        if (::lstat((tree.out + "/" + clashes.kinds[k]).c_str(), &st) == 0)
            Fail("the preview made the folder " + tree.out + "/" + clashes.kinds[k]);
    }
}

// The real sort placed every file where the plan said, and nothing else.
void CheckSorted(const SortTree& tree, const Clashes& clashes) {
    for (const std::string& target : tree.targets) {
        struct stat st;
        if (::stat(target.c_str(), &st) != 0) Fail("the sort did not place " + target);
    }
    const size_t files = CountFiles(tree.out);
    if (files != tree.targets.size() + clashes.count)
        Fail("the sort left " + std::to_string(files) + " files in " + tree.out + ", expected " +
             std::to_string(tree.targets.size() + clashes.count));
}

// Tells when a widget was painted.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(QObject* watched) { watched->installEventFilter(this); }
    bool painted = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return false;
    }
};

}  // namespace

std::vector<FigureResult> PreviewFigures(const BenchOptions& o) {
    BenchOptions big = o;
    big.sortFiles = o.previewFiles;
    FigureResult r;
    r.key = "preview";
    FigureResult w;
    w.key = "preview-window";

    Scratch scratch(o.dir);
    const SortTree shared =
        MakeSortTree(scratch.path() + "/sources", "", big, Naming::ByType, o.fileSize);
    const Clashes clashes(shared, big);
    r.work = Grouped(big.sortFiles) + " files of " +
             (o.fileSize % 1024 == 0 ? std::to_string(o.fileSize / 1024) + " KiB"
                                     : std::to_string(o.fileSize) + " B") +
             " planned (RunFileSort through a PlanningHost), page FileType, Copy, Rename, " +
             Grouped(static_cast<long long>(clashes.count)) + " of them clashing";
    r.baseline = "the same copy sort made, into the same output";
    r.target = "≤ 0.2";
    r.limit = 0.2;
    w.work = "PreviewWindow::setPlan of that plan, show, until its table is painted (offscreen)";
    w.baseline = "–";
    w.target = "< 1 s, every round";
    w.limit = 1.0;

    // One window for all rounds, as the sort window keeps its own: each
    // round's plan replaces the one before in it.
    PreviewWindow window;
    QApplication::processEvents();
    std::vector<double> windowSeconds;

    SortTree planTree, sortTree;
    std::shared_ptr<RunPlan> plan;
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };
    const auto planned = [&] {
        SyncFs(planTree.out);
        const SortOptions options = RunOptions(planTree, big, Naming::ByType, TransferMode::Copy);
        NullHost host;
        plan = std::make_shared<RunPlan>();
        const Stopwatch clock;
        {
            RunPlanner planner(*plan);
            PlanningHost planning(host, planner);
            RunFileSort(options, planTree.sources, planning);
        }
        const double t = clock.stop();
        if (!host.last.empty()) Fail("the preview ended with: " + host.last);
        CheckPlan(*plan, planTree, clashes);
        CheckUntouched(planTree, clashes);
        return t;
    };
    const auto sorted = [&] {
        SyncFs(sortTree.out);
        const SortOptions options = RunOptions(sortTree, big, Naming::ByType, TransferMode::Copy);
        NullHost host;
        const Stopwatch clock;
        RunFileSort(options, sortTree.sources, host);
        const double t = clock.stop();
        if (host.last != kCompletion) Fail("the sort ended with: " + host.last);
        CheckSorted(sortTree, clashes);
        return t;
    };
    // The window opened with the round's plan, as the sort window does once
    // the preview's run ended: the model takes the plan, the old one goes.
    const auto opened = [&] {
        // Only against a hang.
        constexpr double kGiveUp = 60;
        PaintWatch watch(window.TblPlan->viewport());
        const double start = Now();
        const Stopwatch clock;
        window.setPlan(std::shared_ptr<const RunPlan>(std::move(plan)));
        window.show();
        while (!watch.painted) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            if (Now() - start > kGiveUp) Fail("the preview window was not painted in 60 s");
        }
        const double t = clock.stop();
        const PlanTableModel& model = window.model();
        if (static_cast<size_t>(model.rowCount()) != planTree.sources.size() ||
            model.count(PlanAction::Renamed) != clashes.count ||
            model.count(PlanAction::Copy) != planTree.sources.size() - clashes.count)
            Fail("the preview window shows " + std::to_string(model.rowCount()) + " rows, " +
                 std::to_string(model.count(PlanAction::Renamed)) + " renamed");
        window.hide();
        QApplication::processEvents();
        return t;
    };
    Alternate(
        o.rounds,
        [&](int round) {
            const std::string dir = roundDir(round);
            MakeDir(dir);
            planTree = WithClashes(shared, dir + "/a-out", clashes, big);
            sortTree = WithClashes(shared, dir + "/b-out", clashes, big);
        },
        planned, sorted,
        [&](int round) {
            const double t = opened();
            windowSeconds.push_back(t);
            std::fprintf(stderr, "  %-14s round %d: %.3f s\n", w.key.c_str(), round + 1, t);
            Discard(roundDir(round));
        },
        r);

    w.engineSeconds = Spread::of(windowSeconds);
    w.pass = w.engineSeconds.max < w.limit;
    char text[160];
    std::snprintf(text, sizeof text, "median %.3f s, worst %.3f s", w.engineSeconds.median,
                  w.engineSeconds.max);
    w.figure = text;
    std::snprintf(text, sizeof text,
                  "the window's first opening in this process (round 1, its plan new to it) "
                  "took %.3f s",
                  windowSeconds.front());
    w.note = text;
    return {r, w};
}

}  // namespace zanfeld::bench
