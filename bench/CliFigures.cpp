// Zanfeld run as other programs: zanfeld-cli's copy sort against the engine
// it runs, in this process; and the engine against the rule-based organizer
// `organize` doing the same sort by extension.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Bench.h"
#include "JournalRecorder.h"
#include "RunFileSort.h"
#include "RunJournal.h"
#include "SortTree.h"
#include "SourceList.h"
#include "Walks.h"

extern char** environ;

namespace zanfeld::bench {

namespace {

// One side of a round: wall-clock seconds and the processor seconds of the
// process that did the work (a child's come from wait4, not from a clock here).
struct Timed {
    double wall = 0;
    double cpu = 0;
};

// Alternate for sides that tell their own processor time.
void AlternateTimed(int rounds, const std::function<void(int)>& setup,
                    const std::function<Timed()>& program, const std::function<Timed()>& baseline,
                    const std::function<void(int)>& teardown, FigureResult& result) {
    std::vector<double> programTimes, baseTimes, ratios, cpuRatios;
    for (int round = 0; round < rounds; ++round) {
        setup(round);
        Timed p, b;
        if (round % 2 == 0) {
            p = program();
            b = baseline();
        } else {
            b = baseline();
            p = program();
        }
        teardown(round);
        programTimes.push_back(p.wall);
        baseTimes.push_back(b.wall);
        ratios.push_back(p.wall / b.wall);
        cpuRatios.push_back(b.cpu > 0 ? p.cpu / b.cpu : 0);
        std::fprintf(stderr,
                     "  %-14s round %d: engine %.3f s (cpu %.3f), baseline %.3f s (cpu %.3f), "
                     "ratio %.3f (cpu %.3f)\n",
                     result.key.c_str(), round + 1, p.wall, p.cpu, b.wall, b.cpu, ratios.back(),
                     cpuRatios.back());
    }
    result.engineSeconds = Spread::of(programTimes);
    result.baselineSeconds = Spread::of(baseTimes);
    result.ratio = Spread::of(ratios);
    result.cpuRatio = Spread::of(cpuRatios);
    result.pass = result.ratio.median <= result.limit;
}

// This process's environment with the given variables set: a child's
// journal, Trash, settings and logs go to the benchmark's scratch folder,
// never to the user's own.
std::vector<std::string> ChildEnvironment(
    const std::vector<std::pair<std::string, std::string>>& set) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& [n, v] : set) replaced = replaced || n == name;
        if (!replaced) env.push_back(entry);
    }
    for (const auto& [n, v] : set) env.push_back(n + "=" + v);
    return env;
}

struct ChildRun {
    int status = 0;
    Timed time;
};

double Seconds(const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
}

// Starts args[0] (a full path) with posix_spawn, standard input, output and
// error on /dev/null, and waits for it; its time runs from just before the
// spawn to the end of the wait.
ChildRun RunChild(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    std::vector<char*> argv, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, 1, 2);
    ChildRun run;
    pid_t pid = 0;
    const double start = Now();
    const int e = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    if (e != 0) Fail("cannot start " + args[0] + ": " + std::strerror(e));
    struct rusage usage;
    while (::wait4(pid, &run.status, 0, &usage) < 0) {
        if (errno != EINTR) Fail("waiting for " + args[0] + ": " + std::strerror(errno));
    }
    run.time.wall = Now() - start;
    run.time.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    return run;
}

std::string CommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) line += (line.empty() ? "" : " ") + a;
    return line;
}

// Fails unless the child exited with status 0.
void CheckExit(const ChildRun& run, const std::vector<std::string>& args) {
    if (WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) return;
    const std::string how = WIFEXITED(run.status)
                                ? "exited with " + std::to_string(WEXITSTATUS(run.status))
                                : "was killed by signal " + std::to_string(WTERMSIG(run.status));
    Fail(CommandLine(args) + " " + how);
}

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string list = path ? path : "";
    size_t start = 0;
    while (start <= list.size()) {
        const size_t colon = list.find(':', start);
        const size_t end = colon == std::string::npos ? list.size() : colon;
        const std::string dir = end > start ? list.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + name;
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

// A figure that cannot be measured here says so with the table's results
// and leaves no row.
std::vector<FigureResult> Skipped(const char* key, const std::string& why) {
    std::printf("%s: skipped: %s\n", key, why.c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "  skipped: %s\n", why.c_str());
    return {};
}

// Every target of tree holds a file of size bytes, a sample of them the
// bytes of their sources, and nothing else is in the output folder.
void CheckCopies(const SortTree& tree, int size, const char* who) {
    CheckPlaced(tree, who);
    for (size_t i = 0; i < tree.targets.size(); ++i) {
        struct stat st;
        if (::stat(tree.targets[i].c_str(), &st) != 0 || st.st_size != size)
            Fail(std::string(who) + " made " + tree.targets[i] + " of the wrong size");
        if (i % 997 == 0) CheckSameData(tree.sources[i], tree.targets[i], who);
    }
}

// A host that does nothing but write its runs to a journal and keep what a
// placement replaces in the Trash, as zanfeld-cli's does.
class RecordingHost : public NullHost {
  public:
    explicit RecordingHost(RunRecorder& recorder) : m_recorder(recorder) {}
    RunRecorder* recorder() override { return &m_recorder; }
    bool keepReplacedFiles() override { return true; }

  private:
    RunRecorder& m_recorder;
};

std::string JournalIn(const std::string& stateHome) {
    return stateHome + "/Zanfeld/journal.sqlite";
}

// The journal at path holds one run, finished, that placed every file of
// tree as a copy, each placement done and recorded from its source to its
// target (in any order: the program's walk lists the files in its own).
void CheckJournal(const std::string& path, const SortTree& tree, const char* who) {
    RunJournal journal;
    if (const int e = journal.open(path))
        Fail(std::string(who) + " left no journal at " + path + ": " + std::strerror(e));
    const std::vector<JournalRun> runs = journal.runs(0);
    if (runs.size() != 1)
        Fail(std::string(who) + "'s journal holds " + std::to_string(runs.size()) + " runs, not 1");
    const JournalRun& run = runs.front();
    const size_t n = tree.sources.size();
    if (!run.end || run.end->kind != JournalEndKind::Finished ||
        run.counts.placed != static_cast<int64_t>(n) ||
        run.mode != static_cast<int>(TransferMode::Copy) ||
        run.page != static_cast<int>(SortPage::FileType))
        Fail(std::string(who) + "'s journal does not record a finished copy sort by type of " +
             std::to_string(n) + " files");
    std::unordered_map<std::string, std::string> wanted;
    for (size_t i = 0; i < n; ++i) wanted.emplace(tree.sources[i], tree.targets[i]);
    const std::vector<JournalPlacement> placements = journal.placements(run.id);
    if (placements.size() != n)
        Fail(std::string(who) + "'s journal holds " + std::to_string(placements.size()) +
             " placements, not " + std::to_string(n));
    for (const JournalPlacement& p : placements) {
        const auto it = wanted.find(p.source);
        if (it == wanted.end() || it->second != p.target ||
            p.mode != static_cast<int>(TransferMode::Copy) ||
            p.outcome.state != PlacementState::Done || p.outcome.result != PlacementResult::Placed)
            Fail(std::string(who) + "'s journal does not record " + p.source + " to " + p.target +
                 " as a copy done");
        wanted.erase(it);
    }
}

// The parts of the engine's journalled run, for the note.
struct EngineParts {
    std::vector<double> open, sort, close;
};

// The engine's side of cli-sort: what zanfeld-cli does, in this process:
// gather the same list the same way (the walk of the same folder to the
// same depth), open a fresh journal, RunFileSort through a host that does
// nothing but record, close the journal.
Timed EngineJournalled(const SortTree& tree, const BenchOptions& o, const std::string& stateHome,
                       const std::string& walkRoot, EngineParts& parts) {
    SyncFs(tree.out);
    const SortOptions options = RunOptions(tree, o, Naming::ByType, TransferMode::Copy);
    const std::string path = JournalIn(stateHome);
    // The journal writes its database on a thread of its own.
    const Stopwatch clock(CpuOf::Process);
    const double t0 = Now();
    SourceList sources;
    IndexDisk2(sources, walkRoot + "/", 1);
    RunJournal journal;
    const int opened = journal.open(path);
    const double t1 = Now();
    JournalRecorder recorder(journal);
    RecordingHost host(recorder);
    RunFileSort(options, sources.entries(), host);
    const double t2 = Now();
    journal.close();
    Timed t;
    t.wall = clock.stop();
    t.cpu = LastCpuSeconds();
    parts.open.push_back(t1 - t0);
    parts.sort.push_back(t2 - t1);
    parts.close.push_back(Now() - t2);
    if (opened != 0) Fail("cannot open the journal " + path + ": " + std::strerror(opened));
    if (host.last != kCompletion) Fail("the engine ended with: " + host.last);
    CheckCopies(tree, o.fileSize, "the engine");
    CheckJournal(path, tree, "the engine");
    return t;
}

std::string Bytes(int size) {
    return size % 1024 == 0 ? std::to_string(size / 1024) + " KiB" : std::to_string(size) + " B";
}

std::string Ms(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
    return text;
}

}  // namespace

std::vector<FigureResult> CliSortFigure(const BenchOptions& o, const std::string& cli) {
    FigureResult r;
    r.key = "cli-sort";
    r.work =
        "`zanfeld-cli sort --by type --copy --same rename --walk DIR --depth 1 --out DIR "
        "--quiet` of " +
        Grouped(o.sortFiles) + " files of " + Bytes(o.fileSize) +
        ", its journal in a fresh XDG_STATE_HOME, started with posix_spawn and waited for";
    r.baseline =
        "in this process: the same walk (IndexDisk2 of DIR, depth 1), a fresh RunJournal "
        "opened, RunFileSort of those files "
        "through a host that does nothing but record (JournalRecorder), the journal "
        "closed";
    r.target = "≤ 1.05";
    r.limit = 1.05;

    struct stat st;
    if (cli.empty()) return Skipped("cli-sort", "no zanfeld-cli was built; give --cli PATH");
    if (::stat(cli.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(cli.c_str(), X_OK) != 0)
        return Skipped("cli-sort", "no zanfeld-cli at " + cli +
                                       " (build the target zanfeld-cli, "
                                       "or give --cli PATH)");

    Scratch scratch(o.dir);
    MakeDir(scratch.path() + "/config");
    // The engine's side keeps replaced files as the program does: any Trash
    // it made would be the scratch folder's.
    MakeDir(scratch.path() + "/data");
    const ScopedEnv data("XDG_DATA_HOME", scratch.path() + "/data");
    const std::string walkRoot = scratch.path() + "/sources/src";
    const SortTree shared =
        MakeSortTree(scratch.path() + "/sources", "", o, Naming::ByType, o.fileSize);
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };
    const auto homes = [&](const std::string& dir) {
        MakeDir(dir + "/b-state");
        MakeDir(dir + "/b-data");
        return ChildEnvironment({{"XDG_STATE_HOME", dir + "/b-state"},
                                 {"XDG_DATA_HOME", dir + "/b-data"},
                                 {"XDG_CONFIG_HOME", scratch.path() + "/config"}});
    };

    // The program's files come into the page cache before the first round.
    // For the note, what the program does beside the engine's sort: a start
    // that sorts nothing, and a run that walks the tree and places none of
    // its files (a type filter no file passes).
    std::vector<double> starts, walks;
    {
        const std::string dir = roundDir(-1);
        MakeDir(dir);
        MakeDir(dir + "/out");
        const std::vector<std::string> env = homes(dir);
        const std::vector<std::string> start = {cli, "--version"};
        const std::vector<std::string> walk = {
            cli,          "sort",    "--by",      "type",          "--copy", "--same",
            "rename",     "--walk",  walkRoot,    "--depth",       "1",      "--out",
            dir + "/out", "--quiet", "--include", "*.no-such-type"};
        for (int i = 0; i < 5; ++i) {
            const ChildRun a = RunChild(start, env);
            CheckExit(a, start);
            starts.push_back(a.time.wall);
            const ChildRun b = RunChild(walk, env);
            CheckExit(b, walk);
            walks.push_back(b.time.wall);
        }
        if (const size_t placed = CountFiles(dir + "/out"); placed != 0)
            Fail("zanfeld-cli placed " + std::to_string(placed) +
                 " files that its type filter leaves out");
        RemoveTree(dir);
    }

    SortTree engineTree, cliTree;
    std::vector<std::string> env;
    EngineParts parts;
    AlternateTimed(
        o.rounds,
        [&](int round) {
            const std::string dir = roundDir(round);
            MakeDir(dir);
            engineTree = WithOutput(shared, dir + "/a-out", Naming::ByType, o);
            cliTree = WithOutput(shared, dir + "/b-out", Naming::ByType, o);
            MakeDir(dir + "/a-state");
            env = homes(dir);
        },
        [&] {
            const std::string dir = cliTree.out.substr(0, cliTree.out.rfind('/'));
            const std::vector<std::string> args = {
                cli,      "sort",   "--by",    "type", "--copy", "--same",    "rename",
                "--walk", walkRoot, "--depth", "1",    "--out",  cliTree.out, "--quiet"};
            SyncFs(cliTree.out);
            const ChildRun run = RunChild(args, env);
            CheckExit(run, args);
            CheckCopies(cliTree, o.fileSize, "zanfeld-cli");
            CheckJournal(JournalIn(dir + "/b-state"), cliTree, "zanfeld-cli");
            return run.time;
        },
        [&] {
            const std::string dir = engineTree.out.substr(0, engineTree.out.rfind('/'));
            return EngineJournalled(engineTree, o, dir + "/a-state", walkRoot, parts);
        },
        [&](int round) { Discard(roundDir(round)); }, r);
    r.note = "zanfeld-cli --version took " + Ms(Spread::of(starts).median) +
             ", and a run that walks the tree, opens and closes its journal and places "
             "nothing (--include with a type no file has) " +
             Ms(Spread::of(walks).median) +
             " (medians of 5); of the engine's side, opening the fresh journal took " +
             Ms(Spread::of(parts.open).median) + ", RunFileSort " +
             Ms(Spread::of(parts.sort).median) + ", closing the journal " +
             Ms(Spread::of(parts.close).median) + " (medians)";
    return {r};
}

namespace {

// organize's rules as YAML: every file below source, at any depth, moved or
// copied into a folder of output named after its extension with the dot
// (".txt"), as Zanfeld's type folders are.
std::string OrganizeConfig(const std::string& source, const std::string& output, bool move) {
    // organize reads braces in a path as a template, and a quote would end the YAML string.
    for (const std::string& path : {source, output}) {
        if (path.find_first_of("{}'\n") != std::string::npos)
            Fail("organize cannot be given the path " + path + " ({, }, ' or a line end in it)");
    }
    return "rules:\n"
           "  - locations:\n"
           "      - path: '" +
           source +
           "'\n"
           "    subfolders: true\n"
           "    filters:\n"
           "      - extension\n"
           "    actions:\n"
           "      - " +
           (move ? "move" : "copy") + ": '" + output + "/.{extension}/'\n";
}

// organize's run of config; it exits with 0 even when an action failed, so
// the caller checks the placements.
Timed OrganizeRun(const std::string& organize, const std::string& config,
                  const std::vector<std::string>& env, const std::string& out) {
    SyncFs(out);
    const std::vector<std::string> args = {organize, "run", config};
    const ChildRun run = RunChild(args, env);
    CheckExit(run, args);
    return run.time;
}

// Fails while a source of a move is still where it was.
void CheckMovedAway(const SortTree& tree, const char* who) {
    for (const std::string& source : tree.sources) {
        struct stat st;
        if (::lstat(source.c_str(), &st) == 0) Fail(std::string(who) + " left " + source);
    }
}

}  // namespace

std::vector<FigureResult> OrganizeFigures(const BenchOptions& o, int files) {
    const std::string organize = FindOnPath("organize");
    if (organize.empty())
        return Skipped("organize",
                       "no organize on PATH (Debian's package organize, a rule-based organizer "
                       "in Python; apt-get install organize to measure it)");

    BenchOptions sized = o;
    sized.sortFiles = files;
    Scratch scratch(o.dir);
    // organize writes a log below XDG_CACHE_HOME on every start.
    for (const char* home : {"/cache", "/config", "/data"}) MakeDir(scratch.path() + home);
    const std::vector<std::string> env =
        ChildEnvironment({{"XDG_CACHE_HOME", scratch.path() + "/cache"},
                          {"XDG_CONFIG_HOME", scratch.path() + "/config"},
                          {"XDG_DATA_HOME", scratch.path() + "/data"}});
    auto roundDir = [&](int round) { return scratch.path() + "/r" + std::to_string(round); };

    // A run of 20 files: organize's files come into the page cache and the
    // rules are shown to do what the figure needs before the rounds.
    double startSeconds = 0;
    {
        BenchOptions few = sized;
        few.sortFiles = 20;
        const std::string dir = roundDir(-1);
        MakeDir(dir);
        const SortTree tree = MakeSortTree(dir + "/t", dir + "/t/out", few, Naming::ByType, 16);
        WriteBytes(dir + "/rules.yaml", OrganizeConfig(dir + "/t/src", tree.out, true));
        startSeconds = OrganizeRun(organize, dir + "/rules.yaml", env, tree.out).wall;
        CheckPlaced(tree, "organize");
        CheckMovedAway(tree, "organize");
        RemoveTree(dir);
    }

    std::vector<FigureResult> rows;
    for (const TransferMode mode : {TransferMode::Move, TransferMode::Copy}) {
        const bool move = mode == TransferMode::Move;
        FigureResult r;
        r.key = move ? "organize-move" : "organize-copy";
        r.work = "Zanfeld's engine (RunFileSort, page FileType, " +
                 std::string(move ? "Move" : "Copy") + ", Rename) of " + Grouped(files) +
                 " files of " + Bytes(o.fileSize) + " in " +
                 std::to_string(std::max(1, files / 1000)) + " folders into a folder per extension";
        r.baseline = std::string("`organize run` of one rule (extension filter, ") +
                     (move ? "move" : "copy") +
                     " into OUT/.{extension}/) over the same tree, its start included";
        r.target = "< 1 (faster)";
        r.limit = 1;

        // A copy leaves its sources alone: one set serves both sides and every round.
        const std::string sharedRoot = scratch.path() + "/sources";
        SortTree shared, engineTree, organizeTree;
        if (!move) shared = MakeSortTree(sharedRoot, "", sized, Naming::ByType, o.fileSize);
        std::string config, organizeSource;
        AlternateTimed(
            o.rounds,
            [&](int round) {
                const std::string dir = roundDir(round) + (move ? "m" : "c");
                MakeDir(dir);
                if (move) {
                    engineTree =
                        MakeSortTree(dir + "/a", dir + "/a/out", sized, Naming::ByType, o.fileSize);
                    organizeTree =
                        MakeSortTree(dir + "/b", dir + "/b/out", sized, Naming::ByType, o.fileSize);
                    organizeSource = dir + "/b/src";
                } else {
                    engineTree = WithOutput(shared, dir + "/a-out", Naming::ByType, sized);
                    organizeTree = WithOutput(shared, dir + "/b-out", Naming::ByType, sized);
                    organizeSource = sharedRoot + "/src";
                }
                config = dir + "/rules.yaml";
                WriteBytes(config, OrganizeConfig(organizeSource, organizeTree.out, move));
            },
            [&] {
                Timed t;
                t.wall = EngineRun(engineTree, sized, Naming::ByType, mode, CpuOf::Process);
                t.cpu = LastCpuSeconds();
                if (move) CheckMovedAway(engineTree, "the engine");
                return t;
            },
            [&] {
                const Timed t = OrganizeRun(organize, config, env, organizeTree.out);
                if (move) {
                    CheckPlaced(organizeTree, "organize");
                    CheckMovedAway(organizeTree, "organize");
                } else {
                    CheckCopies(organizeTree, o.fileSize, "organize");
                }
                return t;
            },
            [&](int round) { Discard(roundDir(round) + (move ? "m" : "c")); }, r);
        r.pass = r.ratio.median < 1;
        char text[200];
        std::snprintf(text, sizeof text,
                      "Zanfeld %.0f times as fast (organize's time over Zanfeld's, median; "
                      "%.0f to %.0f); organize's start and a move of 20 files took %.2f s",
                      1 / r.ratio.median, 1 / r.ratio.max, 1 / r.ratio.min, startSeconds);
        r.note = text;
        rows.push_back(r);
    }
    return rows;
}

}  // namespace zanfeld::bench
