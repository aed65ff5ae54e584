// Kills a sort run with SIGKILL at random moments and checks, after every
// kill, that no file was lost or half-written: a moved file is whole in its
// old place or its new one (at worst in both, never in neither); an existing
// target that a copy overwrites is the old file or the new one, never a mix;
// and no temporary file of ours stays where a user would see it once a later
// run has been through that folder.
//
// The kill loop works over one tree: kill, check, start a fresh run on the
// files still to do, until the kills are counted; a run that ends before its
// kill restores the tree for the next round. ZANFELD_CRASH_SEED repeats a
// sequence of kills, ZANFELD_CRASH_KILLS changes their number per mode.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "TempDir.h"

extern char** environ;

using namespace zanfeld::test;
namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 2000;
constexpr int kFolders = 20;
constexpr size_t kKiB = 1024;
constexpr size_t kMiB = 1024 * 1024;
constexpr char kDone[] = "分拣工作完成！";
constexpr char kTempPrefix[] = ".zanfeld-";

uint64_t Mix(uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Mostly small files, one in ten up to 72 KiB, one in 250 of several MiB,
// some empty: about 45 MB in all.
size_t NewSize(int i) {
    const uint64_t r = Mix(0x5eed0000ULL + static_cast<uint64_t>(i));
    if (i % 250 == 7) return 2 * kMiB + r % (4 * kMiB);
    if (i % 10 == 3) return 8 * kKiB + r % (64 * kKiB);
    if (i % 50 == 11) return 0;
    return 1 + r % (8 * kKiB);
}

// The old target a copy overwrites: other bytes, another length.
size_t OldSize(int i) { return NewSize(i) / 3 + 5; }

// Every 8 bytes depend on the file, the generation and the position, so a
// file that is short, shifted or mixed from two never matches.
std::string Content(int i, int generation) {
    const size_t size = generation == 0 ? NewSize(i) : OldSize(i);
    std::string data(size, '\0');
    const uint64_t base =
        (static_cast<uint64_t>(i) << 33) ^ (static_cast<uint64_t>(generation) << 32);
    for (size_t at = 0; at < size; at += 8) {
        const uint64_t word = Mix(base + at / 8);
        std::memcpy(data.data() + at, &word, std::min<size_t>(8, size - at));
    }
    return data;
}

std::string Name(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%04d.bin", i);
    return name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

enum class State { Missing, New, Old, Bad };

// Reads and compares a file only when it changed since it was last seen: a
// file's content cannot change without its change time moving.
class Checker {
  public:
    State classify(const std::string& path, int i) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) return State::Missing;
        if (!S_ISREG(st.st_mode)) return State::Bad;
        const Key key{st.st_dev, st.st_ino, st.st_size, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
        const auto seen = m_seen.find(path);
        if (seen != m_seen.end() && seen->second.first == key) return seen->second.second;
        ++m_reads;
        const std::string data = ReadAll(path);
        State state = State::Bad;
        if (data.size() == NewSize(i) && data == Content(i, 0)) {
            state = State::New;
        } else if (data.size() == OldSize(i) && data == Content(i, 1)) {
            state = State::Old;
        }
        if (state != State::Bad) m_seen[path] = {key, state};
        return state;
    }
    long reads() const { return m_reads; }

  private:
    struct Key {
        dev_t dev;
        ino_t ino;
        off_t size;
        time_t ctimeSec;
        long ctimeNsec;
        bool operator==(const Key&) const = default;
    };
    std::unordered_map<std::string, std::pair<Key, State>> m_seen;
    long m_reads = 0;
};

struct RunResult {
    bool killed = false;
    std::string output;  // what the driver wrote after "R"
    double seconds = 0;  // from "R" to the kill or the end
    pid_t pid = 0;
};

// Starts the driver, waits until its run has begun, kills it after delay
// (never, when delay is negative) and reaps it.
RunResult RunDriver(const std::string& list, const std::string& outDir, const char* mode,
                    const char* policy, double delay) {
    RunResult result;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::string driver = ZANFELD_CRASH_DRIVER;
    std::vector<std::string> args{driver, list, outDir, mode, policy};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, driver.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        throw std::runtime_error("cannot start " + driver);
    }
    result.pid = pid;

    std::string line;
    char c;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') line += c;
    const auto start = std::chrono::steady_clock::now();
    if (line == "R" && delay >= 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
        ::kill(pid, SIGKILL);
    }
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    if (!result.killed && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        throw std::runtime_error("the driver failed: " + line + result.output);
    return result;
}

struct Figures {
    int kills = 0;
    int completedRuns = 0;
    long fileChecks = 0;
    long reads = 0;
    int inBothPlaces = 0;      // moves caught between publishing and removing the source
    int oldTargetsSeen = 0;    // overwrites caught before publishing
    int staleTemporaries = 0;  // left by a kill, removed by a later run
    double seconds = 0;
};

struct CrashMode {
    const char* name;
    bool move;
    bool crossDevice;
    bool oldTargets;  // an older file under every target name (always so for copies)
};

// One mode's kill loop over its own tree.
class KillLoop {
  public:
    KillLoop(const CrashMode& mode, std::mt19937_64& rng)
        : m_mode(mode), m_rng(rng), m_src("/tmp"), m_out(mode.crossDevice ? "/dev/shm" : "/tmp") {}

    bool sameDevice() const { return !OnDifferentDevices(m_src.path(), m_out.path()); }

    void build() {
        for (int f = 0; f < kFolders; ++f) MakeDir(m_src / ("d" + std::to_string(f)));
        MakeDir(m_out / ".bin");
        for (int i = 0; i < kFiles; ++i) {
            WriteAll(srcPath(i), Content(i, 0));
            if (m_mode.oldTargets) WriteAll(outPath(i), Content(i, 1));
        }
    }

    Figures run(int kills) {
        Figures fig;
        const auto begin = std::chrono::steady_clock::now();
        std::vector<int> todo = remaining(fig);
        while (fig.kills < kills) {
            if (todo.empty()) {
                restore();
                todo = remaining(fig);
            }
            // A moment within the first fifth of what is left: each run then
            // gets through some of the files, and the kills are spread over
            // the whole tree before it has to be restored.
            const double delay =
                std::uniform_real_distribution<double>(0, estimate(todo) / 5)(m_rng);
            const RunResult r = launch(todo, delay);
            const std::vector<int> before = todo;
            todo = remaining(fig);
            if (::testing::Test::HasFailure()) return fig;
            if (r.killed) {
                ++fig.kills;
                m_killedPids.insert(r.pid);
                learn(delay, before, todo);
                checkTemporaries(fig, false);
            } else {
                ++fig.completedRuns;
                EXPECT_EQ(r.output, kDone) << "a run that was not killed reported failures";
                EXPECT_TRUE(todo.empty()) << todo.size() << " files left after a whole run";
                m_rate = r.seconds / std::max(1.0, Units(before));
                checkTemporaries(fig, true);
            }
            if (::testing::Test::HasFailure()) return fig;
        }
        // A last run, not killed, finishes the work and sweeps the folder.
        if (todo.empty()) {
            restore();
            todo = remaining(fig);
        }
        const RunResult last = launch(todo, -1);
        ++fig.completedRuns;
        EXPECT_EQ(last.output, kDone);
        EXPECT_TRUE(remaining(fig).empty());
        checkTemporaries(fig, true);
        fig.reads = m_checker.reads();
        fig.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        return fig;
    }

  private:
    std::string srcPath(int i) const {
        return m_src / ("d" + std::to_string(i % kFolders) + "/" + Name(i));
    }
    std::string outPath(int i) const { return m_out / (".bin/" + Name(i)); }

    static void WriteAll(const std::string& path, const std::string& data) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out) throw std::runtime_error("cannot write " + path);
    }

    static double Units(const std::vector<int>& files) {
        double units = 0;
        for (const int i : files) units += 1.0 + static_cast<double>(NewSize(i)) / (64 * kKiB);
        return units;
    }

    // How long the driver needs for these files, from what earlier runs took.
    double estimate(const std::vector<int>& files) const { return m_rate * Units(files); }

    void learn(double delay, const std::vector<int>& before, const std::vector<int>& after) {
        std::vector<int> done;
        std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                            std::back_inserter(done));
        if (done.empty()) return;
        m_rate = 0.7 * m_rate + 0.3 * (delay / Units(done));
    }

    RunResult launch(const std::vector<int>& files, double delay) {
        const std::string list = m_src / "list.txt";
        {
            std::ofstream out(list, std::ios::binary | std::ios::trunc);
            for (const int i : files) out << srcPath(i) << '\n';
        }
        return RunDriver(list, m_out.path(), m_mode.move ? "move" : "copy", "overwrite", delay);
    }

    // Checks every file and returns those still to do: in a move the files
    // still at their source, in a copy those whose target is not new yet.
    std::vector<int> remaining(Figures& fig) {
        std::vector<int> todo;
        for (int i = 0; i < kFiles; ++i) {
            const State source = m_checker.classify(srcPath(i), i);
            const State target = m_checker.classify(outPath(i), i);
            fig.fileChecks += 1;
            if (m_mode.move) {
                EXPECT_TRUE(source == State::New || source == State::Missing)
                    << srcPath(i) << " is damaged";
                EXPECT_TRUE(target == State::New || target == State::Missing ||
                            (m_mode.oldTargets && target == State::Old))
                    << outPath(i) << " is partial or damaged";
                EXPECT_FALSE(source == State::Missing && target != State::New)
                    << Name(i) << " is in neither place";
                if (source == State::New && target == State::New) ++fig.inBothPlaces;
                if (target == State::Old) ++fig.oldTargetsSeen;
                if (source == State::New) todo.push_back(i);
            } else {
                EXPECT_EQ(source, State::New) << srcPath(i) << " changed in a copy";
                EXPECT_TRUE(target == State::New || target == State::Old)
                    << outPath(i) << " is neither the old file nor the new one";
                if (target == State::Old) {
                    ++fig.oldTargetsSeen;
                    todo.push_back(i);
                }
            }
            if (::testing::Test::HasFailure()) break;
        }
        return todo;
    }

    // After a kill only temporaries of killed runs may be there; after a
    // whole run none at all. No other name may appear in the folders.
    void checkTemporaries(Figures& fig, bool afterWholeRun) {
        std::set<std::string> expected;
        for (int i = 0; i < kFiles; ++i) expected.insert(Name(i));
        for (const auto& e : fs::directory_iterator(m_out / ".bin")) {
            const std::string name = e.path().filename().string();
            if (expected.count(name)) continue;
            if (name.rfind(kTempPrefix, 0) == 0 && !afterWholeRun) {
                const int pid = std::atoi(name.c_str() + std::strlen(kTempPrefix));
                EXPECT_TRUE(m_killedPids.count(pid)) << name << " belongs to no killed run";
                if (m_tempsSeen.insert(name).second) ++fig.staleTemporaries;
                continue;
            }
            ADD_FAILURE() << "unexpected " << e.path()
                          << (afterWholeRun ? " after a whole run" : "");
        }
        for (const auto& e : fs::recursive_directory_iterator(m_src.path())) {
            const std::string name = e.path().filename().string();
            EXPECT_NE(name.rfind(kTempPrefix, 0), 0u) << e.path();
        }
    }

    // Puts the tree back as it was at the start, for another round of kills.
    void restore() {
        for (int i = 0; i < kFiles; ++i) {
            if (m_mode.move) {
                std::error_code ec;
                if (m_checker.classify(outPath(i), i) == State::New)
                    fs::rename(outPath(i), srcPath(i), ec);
                if (ec || !fs::exists(srcPath(i))) WriteAll(srcPath(i), Content(i, 0));
                if (m_mode.oldTargets)
                    WriteAll(outPath(i), Content(i, 1));
                else
                    fs::remove(outPath(i), ec);
            } else {
                WriteAll(outPath(i), Content(i, 1));
            }
        }
    }

    CrashMode m_mode;
    std::mt19937_64& m_rng;
    TempDir m_src;
    TempDir m_out;
    Checker m_checker;
    double m_rate = 20e-6;  // seconds per unit (a file and 64 KiB)
    std::set<int> m_killedPids;
    std::set<std::string> m_tempsSeen;
};

uint64_t SeedFromEnvironment() {
    if (const char* s = std::getenv("ZANFELD_CRASH_SEED")) return std::strtoull(s, nullptr, 0);
    return std::random_device{}();
}

int KillsFromEnvironment() {
    if (const char* s = std::getenv("ZANFELD_CRASH_KILLS")) return std::max(1, std::atoi(s));
    return 30;
}

class CrashTest : public ::testing::TestWithParam<CrashMode> {};

TEST_P(CrashTest, KilledRunsLoseNothing) {
    const CrashMode mode = GetParam();
    const uint64_t seed = SeedFromEnvironment();
    std::printf("[ crash    ] %s: seed %llu (ZANFELD_CRASH_SEED=%llu repeats it)\n", mode.name,
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed));
    std::mt19937_64 rng(seed);
    KillLoop loop(mode, rng);
    if (mode.crossDevice && loop.sameDevice())
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here; no cross-device run";
    const auto buildStart = std::chrono::steady_clock::now();
    loop.build();
    const double buildSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - buildStart).count();
    const Figures fig = loop.run(KillsFromEnvironment());
    std::printf(
        "[ crash    ] %s: %d kills survived, %d whole runs, %ld file checks (%ld reads), "
        "%d caught in both places, %d old targets seen, %d stale temporaries removed, "
        "%.1f s (tree built in %.1f s)\n",
        mode.name, fig.kills, fig.completedRuns, fig.fileChecks, fig.reads, fig.inBothPlaces,
        fig.oldTargetsSeen, fig.staleTemporaries, fig.seconds, buildSeconds);
    EXPECT_EQ(fig.kills, KillsFromEnvironment());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CrashTest,
    ::testing::Values(CrashMode{"MoveWithinOneFileSystem", true, false, false},
                      CrashMode{"MoveAcrossFileSystems", true, true, false},
                      CrashMode{"MoveOverwriteAcrossFileSystems", true, true, true},
                      CrashMode{"CopyOverwriteWithinOneFileSystem", false, false, true},
                      CrashMode{"CopyOverwriteAcrossFileSystems", false, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A hidden temporary file left by a run that was killed between giving the
// new copy its hidden name and renaming it over the target: the next run
// that copies into the folder removes it, but never one of a live process.
TEST(CrashCleanup, NextRunRemovesTemporariesOfKilledRuns) {
    TempDir dir;
    WriteFile(dir / "src/a.bin", "new");
    WriteFile(dir / "out/.bin/a.bin", "old");

    // A pid that is surely gone: a child that has exited and been reaped.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ASSERT_GT(dead, 0);
    ::waitpid(dead, nullptr, 0);
    char stale[64], live[64];
    std::snprintf(stale, sizeof stale, ".zanfeld-%d-00000000deadbeef.tmp", static_cast<int>(dead));
    std::snprintf(live, sizeof live, ".zanfeld-%d-00000000cafef00d.tmp",
                  static_cast<int>(::getpid()));
    const std::string foreign = ".zanfeld-notes.tmp";  // not a name our copies make
    for (const std::string& name : {std::string(stale), std::string(live), foreign})
        WriteFile(dir / ("out/.bin/" + name), "x");

    WriteFile(dir / "list.txt", dir / "src/a.bin" + "\n");
    const RunResult r = RunDriver(dir / "list.txt", dir / "out", "copy", "overwrite", -1);
    EXPECT_EQ(r.output, kDone);
    EXPECT_EQ(ReadAll(dir / "out/.bin/a.bin"), "new");
    EXPECT_FALSE(fs::exists(dir / ("out/.bin/" + std::string(stale))));
    EXPECT_TRUE(fs::exists(dir / ("out/.bin/" + std::string(live))));  // its process still runs
    EXPECT_TRUE(fs::exists(dir / ("out/.bin/" + foreign)));
}

}  // namespace
