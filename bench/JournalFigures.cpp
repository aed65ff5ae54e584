// The run journal's cost: a sort written to a journal against the same sort
// without one, and the undo of a journalled move sort against that sort.

#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>

#include "Bench.h"
#include "JournalRecorder.h"
#include "RunJournal.h"
#include "RunUndo.h"
#include "SortTree.h"

namespace zanfeld::bench {

namespace {

// The journal writes its database on a thread of its own: both sides of
// these figures take the processor time of the whole process.
constexpr CpuOf kCpu = CpuOf::Process;

// A host as a window gives its runs: the run is written to a journal, and a
// file a placement replaces goes to the Trash.
class JournalHost : public NullHost {
  public:
    explicit JournalHost(RunRecorder& recorder) : m_recorder(recorder) {}
    RunRecorder* recorder() override { return &m_recorder; }
    bool keepReplacedFiles() override { return true; }

  private:
    RunRecorder& m_recorder;
};

// The journal and the Trash of the figure's runs, in its scratch folder:
// nothing of a run here reaches the user's own.
class ScratchHomes {
  public:
    explicit ScratchHomes(const std::string& scratch)
        : m_state("XDG_STATE_HOME", Made(scratch + "/state")),
          m_data("XDG_DATA_HOME", Made(scratch + "/data")) {}

  private:
    static std::string Made(const std::string& path) {
        MakeDir(path);
        return path;
    }
    ScopedEnv m_state;
    ScopedEnv m_data;
};

std::unique_ptr<RunJournal> OpenJournal(const std::string& path) {
    auto journal = std::make_unique<RunJournal>();
    if (const int e = journal->open(path))
        Fail("cannot open the journal " + path + ": " + std::strerror(e));
    return journal;
}

// The bytes a journal takes on disk, its write-ahead log included.
long long JournalBytes(const std::string& path) {
    long long bytes = 0;
    for (const char* suffix : {"", "-wal"}) {
        struct stat st;
        if (::stat((path + suffix).c_str(), &st) == 0) bytes += st.st_size;
    }
    return bytes;
}

// The journal holds run as a finished run that placed every file of tree,
// each placement settled, in order, from its source to its target.
void CheckJournalled(RunJournal& journal, int64_t run, const SortTree& tree, TransferMode mode,
                     const char* who) {
    if (!journal.ok() || run == 0)
        Fail(std::string(who) + ": the journal is off (" + std::strerror(journal.error()) + ")");
    const std::vector<JournalPlacement> placements = journal.placements(run);
    if (placements.size() != tree.sources.size())
        Fail(std::string(who) + ": the journal holds " + std::to_string(placements.size()) +
             " placements, not " + std::to_string(tree.sources.size()));
    for (size_t i = 0; i < placements.size(); ++i) {
        const JournalPlacement& p = placements[i];
        if (p.source != tree.sources[i] || p.target != tree.targets[i] ||
            p.mode != static_cast<int>(mode) || p.outcome.state != PlacementState::Done ||
            p.outcome.result != PlacementResult::Placed || p.outcome.inode == 0)
            Fail(std::string(who) + ": placement " + std::to_string(i) + " (" + p.source + " to " +
                 p.target + ") is not recorded as done");
    }
    bool found = false;
    for (const JournalRun& r : journal.runs(0)) {
        if (r.id != run) continue;
        found = true;
        if (!r.end || r.end->kind != JournalEndKind::Finished ||
            r.counts.placed != static_cast<int64_t>(tree.sources.size()))
            Fail(std::string(who) + ": the run is not recorded as finished with every file placed");
    }
    if (!found) Fail(std::string(who) + ": the journal lists no run " + std::to_string(run));
}

std::string JournalPath(const std::string& folder) { return folder + "/Zanfeld/journal.sqlite"; }

}  // namespace

FigureResult JournalSortFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "journal-sort";
    r.work = "the copy sort of " + Grouped(o.sortFiles) +
             " files written to a fresh journal (RunJournal, JournalRecorder), replaced files "
             "kept in the Trash";
    r.baseline = "the same sort without a journal";
    r.target = "≤ 1.1";
    r.limit = 1.1;

    Scratch scratch(o.dir);
    const ScratchHomes homes(scratch.path());
    const SortTree shared =
        MakeSortTree(scratch.path() + "/sources", "", o, Naming::ByType, o.fileSize);
    SortTree engineTree, baseTree;
    std::unique_ptr<RunJournal> journal;
    std::string journalPath;
    std::vector<double> journalBytes;
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };
    Alternate(
        o.rounds,
        [&](int round) {
            const std::string dir = roundDir(round);
            MakeDir(dir);
            engineTree = WithOutput(shared, dir + "/a-out", Naming::ByType, o);
            baseTree = WithOutput(shared, dir + "/b-out", Naming::ByType, o);
            // Opened as the program opens it when it starts, before any run.
            journalPath = JournalPath(dir + "/state");
            journal = OpenJournal(journalPath);
        },
        [&] {
            JournalRecorder recorder(*journal);
            JournalHost host(recorder);
            // The checks after the timed run start no Stopwatch: the
            // processor time Alternate finds stays the run's.
            const double t =
                EngineRun(engineTree, o, Naming::ByType, TransferMode::Copy, host, kCpu);
            CheckJournalled(*journal, recorder.run(), engineTree, TransferMode::Copy,
                            "the journalled sort");
            journalBytes.push_back(static_cast<double>(JournalBytes(journalPath)));
            return t;
        },
        [&] { return EngineRun(baseTree, o, Naming::ByType, TransferMode::Copy, kCpu); },
        [&](int round) {
            journal.reset();
            Discard(roundDir(round));
        },
        r);
    // The journal's cost a file, from the rounds' own ratios: medians of the
    // two sides' times come from different rounds when the disk is uneven.
    const double perFile = (r.ratio.median - 1) * r.baselineSeconds.median / o.sortFiles * 1e6;
    char text[200];
    std::snprintf(text, sizeof text,
                  "the journal took %.1f MB a run (with its write-ahead log); about %.1f µs a "
                  "file more than the sort without",
                  Spread::of(journalBytes).median / 1e6, perFile);
    r.note = text;
    return r;
}

FigureResult UndoMoveFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "undo-move";
    r.work = "UndoRun of a journalled move sort of " + Grouped(o.sortFiles) +
             " files (empty), page FileType, Rename";
    r.baseline = "that move sort, journalled, on a tree of the same size";
    r.target = "≤ 1.5";
    r.limit = 1.5;

    Scratch scratch(o.dir);
    const ScratchHomes homes(scratch.path());
    // Each round: tree a is sorted (untimed) and its run undone (timed); tree
    // b is sorted (timed), each into a journal of its own.
    SortTree undoTree, sortTree;
    std::unique_ptr<RunJournal> undoJournal, sortJournal;
    int64_t undoneRun = 0;
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };
    const auto setup = [&](int round) {
        const std::string dir = roundDir(round);
        MakeDir(dir);
        undoTree = MakeSortTree(dir + "/a", dir + "/a/out", o, Naming::ByType, 0);
        sortTree = MakeSortTree(dir + "/b", dir + "/b/out", o, Naming::ByType, 0);
        undoJournal = OpenJournal(JournalPath(dir + "/a-state"));
        sortJournal = OpenJournal(JournalPath(dir + "/b-state"));
        JournalRecorder recorder(*undoJournal);
        JournalHost host(recorder);
        EngineRun(undoTree, o, Naming::ByType, TransferMode::Move, host);
        CheckJournalled(*undoJournal, recorder.run(), undoTree, TransferMode::Move,
                        "the sort to undo");
        undoneRun = recorder.run();
    };
    const auto undo = [&] {
        SyncFs(undoTree.out);
        NullHost host;
        const Stopwatch clock(kCpu);
        const UndoReport report = UndoRun(*undoJournal, undoneRun, host);
        const double t = clock.stop();
        const size_t n = undoTree.sources.size();
        if (host.last.rfind("撤销完成！", 0) != 0) Fail("the undo ended with: " + host.last);
        if (report.stopped || report.movedBack != n || report.renamedBack != 0 ||
            report.kept != 0 || report.copiesRemoved != 0 || report.restored != 0 ||
            report.foldersRemoved != undoTree.folders.size())
            Fail("the undo moved back " + std::to_string(report.movedBack) + " of " +
                 std::to_string(n) + " files (" + std::to_string(report.renamedBack) +
                 " renamed, " + std::to_string(report.kept) + " kept) and removed " +
                 std::to_string(report.foldersRemoved) + " of " +
                 std::to_string(undoTree.folders.size()) + " folders");
        for (const std::string& source : undoTree.sources) {
            struct stat st;
            if (::stat(source.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                Fail("the undo did not put back " + source);
        }
        for (const std::string& folder : undoTree.folders) {
            struct stat st;
            if (::lstat(folder.c_str(), &st) == 0) Fail("the undo left the folder " + folder);
        }
        if (const size_t left = CountFiles(undoTree.out); left != 0)
            Fail("the undo left " + std::to_string(left) + " files in " + undoTree.out);
        bool marked = false;
        for (const JournalRun& run : undoJournal->runs(0))
            if (run.id == undoneRun) marked = run.undoneBy != 0;
        if (!marked) Fail("the journal does not mark the run undone");
        return t;
    };
    const auto sort = [&] {
        JournalRecorder recorder(*sortJournal);
        JournalHost host(recorder);
        const double t = EngineRun(sortTree, o, Naming::ByType, TransferMode::Move, host, kCpu);
        CheckJournalled(*sortJournal, recorder.run(), sortTree, TransferMode::Move,
                        "the journalled move sort");
        return t;
    };
    Alternate(
        o.rounds, setup, undo, sort,
        [&](int round) {
            undoJournal.reset();
            sortJournal.reset();
            Discard(roundDir(round));
        },
        r);
    return r;
}

}  // namespace zanfeld::bench
