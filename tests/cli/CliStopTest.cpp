// Ctrl-C (and SIGTERM) during a large run of the built zanfeld-cli: the run
// stops between files or chunks and leaves every file whole: no half copy,
// no stray temporary file, a stopped move's file in exactly one place, and
// a journal that undoes exactly what was done.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "FileChecks.h"
#include "MiniJson.h"
#include "TempDir.h"

using namespace zanfeld::test;
using namespace std::chrono_literals;

namespace {

constexpr int kFiles = 12;
constexpr size_t kChunk = 1 << 20;
constexpr size_t kChunksPerFile = 48;  // 48 MiB a file: more than one of the run's 32 MiB steps
constexpr size_t kFileSize = kChunk * kChunksPerFile;

std::string Name(int file) { return "big" + std::to_string(100 + file).substr(1) + ".dat"; }

// Content that differs from file to file and from chunk to chunk.
void Fill(char* data, int file, size_t chunk) {
    uint64_t x = (static_cast<uint64_t>(file) << 40) ^ (chunk * 0x9E3779B97F4A7C15ull) ^ 0x5a17;
    for (size_t i = 0; i < kChunk; i += 8) {
        x += 0x9E3779B97F4A7C15ull;
        uint64_t z = x;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        std::memcpy(data + i, &z, 8);
    }
}

void WriteBigFile(const std::string& path, int file) {
    std::string content(kFileSize, '\0');
    for (size_t c = 0; c < kChunksPerFile; ++c) Fill(content.data() + c * kChunk, file, c);
    WriteFile(path, content);
}

// Whether path holds file's content, whole and exact.
bool IsWhole(const std::string& path, int file) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                 static_cast<size_t>(st.st_size) == kFileSize;
    std::unique_ptr<char[]> expected(new char[kChunk]);
    std::unique_ptr<char[]> got(new char[kChunk]);
    for (size_t c = 0; whole && c < kChunksPerFile; ++c) {
        Fill(expected.get(), file, c);
        size_t done = 0;
        while (done < kChunk) {
            const ssize_t n = ::read(fd, got.get() + done, kChunk - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        whole = done == kChunk && std::memcmp(expected.get(), got.get(), kChunk) == 0;
    }
    ::close(fd);
    return whole;
}

// Every name in a folder, hidden ones included; none when it is missing.
std::vector<std::string> Entries(const std::string& folder) {
    return IsDir(folder) ? Names(folder) : std::vector<std::string>{};
}

// A line of /proc/<pid>/status, after its name.
std::string StatusLine(pid_t pid, const std::string& name) {
    const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
    const size_t at = status.find("\n" + name + ":");
    if (at == std::string::npos) return {};
    const size_t start = status.find_first_not_of(" \t", at + name.size() + 2);
    return status.substr(start, status.find('\n', start) - start);
}

// Whether the signal waits to be taken by the process (a second one sent
// now would merge into it).
bool Pending(pid_t pid, int signal) {
    for (const char* line : {"SigPnd", "ShdPnd"}) {
        const std::string mask = StatusLine(pid, line);
        if (!mask.empty() && (std::stoull(mask, nullptr, 16) >> (signal - 1) & 1)) return true;
    }
    return false;
}

// Whether the process still runs (neither ended nor a zombie).
bool Running(pid_t pid) {
    const std::string state = StatusLine(pid, "State");
    return !state.empty() && state[0] != 'Z' && state[0] != 'X';
}

bool HasRoom(const std::string& folder, uint64_t bytes) {
    struct statfs fs;
    return ::statfs(folder.c_str(), &fs) == 0 &&
           static_cast<uint64_t>(fs.f_bavail) * fs.f_bsize > bytes;
}

class CliStopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HasRoom("/tmp", 3ull * kFiles * kFileSize))
            GTEST_SKIP() << "/tmp has no room for the large files";
        MakeDir(m_box / "src");
        for (int i = 0; i < kFiles; ++i) WriteBigFile(Source(i), i);
    }
    std::string Source(int file) const { return m_box / ("src/" + Name(file)); }

    struct Stopped {
        CliResult result;
        std::chrono::milliseconds afterSignal{};
        bool allReached = true;  // every signal found the program running
    };
    // Runs the program and sends the signals once folder shows a first
    // entry (any: anyEntry) or a first finished target.
    Stopped RunAndStop(const std::vector<std::string>& args, const std::string& folder,
                       std::vector<int> signals, bool anyEntry) {
        CliProcess process(m_box.setup(args));
        const bool seen = process.waitUntil(
            [&] {
                for (const std::string& name : Entries(folder)) {
                    if (anyEntry || name.rfind("big", 0) == 0) return true;
                }
                return false;
            },
            20s);
        EXPECT_TRUE(seen) << "nothing came to " << folder << "\n" << process.err();
        const auto sent = std::chrono::steady_clock::now();
        Stopped stopped;
        for (size_t i = 0; i < signals.size(); ++i) {
            if (i > 0) {
                // Signals of one kind sent together arrive as one: the next
                // waits until the program has taken the one before.
                const auto until = std::chrono::steady_clock::now() + 2s;
                while (Pending(process.pid(), signals[i - 1]) &&
                       std::chrono::steady_clock::now() < until) {
                }
                stopped.allReached = stopped.allReached && Running(process.pid());
            }
            process.signal(signals[i]);
        }
        stopped.result = process.finish(20s);
        stopped.afterSignal = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - sent);
        return stopped;
    }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliStopTest, AStoppedRunLeavesEveryFileWholeAndTheJournalUndoesIt) {
    // /dev/shm as another file system, where a move copies, then removes.
    struct statfs fs;
    std::optional<TempDir> shm;
    if (::statfs("/dev/shm", &fs) == 0 && fs.f_type == TMPFS_MAGIC &&
        OnDifferentDevices("/tmp", "/dev/shm") && HasRoom("/dev/shm", 2ull * kFiles * kFileSize))
        shm.emplace("/dev/shm");
    const std::vector<std::string> copy{"sort", "--by", "type", "--copy"},
        move{"sort", "--by", "type", "--move"}, folders{"sort-folders", "--by", "name"};
    const struct {
        const char* what;
        const std::vector<std::string>& command;  // before --out and the sources
        bool json;
        bool elsewhere;  // the output on /dev/shm
        std::vector<int> signals;
        bool anyEntry;  // signalled at the first entry, not at the first whole target
        int status;
    } cases[] = {
        {"Ctrl-C during a copy", copy, false, false, {SIGINT}, false, 130},
        {"SIGTERM during a copy", copy, true, false, {SIGTERM}, true, 143},
        // The second ends the program at once.
        {"two Ctrl-Cs", copy, false, false, {SIGINT, SIGINT}, true, 130},
        {"Ctrl-C during a move to another file system", move, false, true, {SIGINT}, false, 130},
        {"Ctrl-C as a move to another file system begins", move, false, true, {SIGINT}, true, 130},
        {"Ctrl-C during a folder copy", folders, false, false, {SIGINT}, false, 130},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.elsewhere && !shm) {
            std::cout << "skipped, /dev/shm is no file system of its own with room: " << c.what
                      << "\n";
            continue;
        }
        const bool byFolder = &c.command == &folders;
        const bool moving = &c.command == &move;
        const std::string out = c.elsewhere ? *shm / "out" : m_box / "out";
        // The folders down to the targets: .dat, or src/src for a folder run.
        const std::vector<std::string> path =
            byFolder ? std::vector<std::string>{"src", "src"} : std::vector<std::string>{".dat"};
        std::string targets = out;
        for (const std::string& folder : path) targets += "/" + folder;
        std::vector<std::string> args = c.command;
        args.insert(args.end(), {"--out", out});
        if (c.json) args.push_back("--json");
        for (int i = 0; byFolder ? i < 1 : i < kFiles; ++i)
            args.push_back(byFolder ? m_box / "src" : Source(i));
        const size_t runsBefore = m_box.history().size();

        const Stopped s = RunAndStop(args, targets, c.signals, c.anyEntry);
        EXPECT_FALSE(s.result.timedOut);
        const bool killed = c.signals.size() > 1 && s.allReached;
        if (killed) {
            EXPECT_EQ(s.result.signal, SIGINT) << "exit " << s.result.exitCode << "\n"
                                               << s.result.err;
        } else {
            // Stopped by the one signal, or by the first of two when the
            // stop was done before the second came.
            EXPECT_EQ(s.result.exitCode, c.status) << s.result.err;
            EXPECT_TRUE(Contains(s.result.err, "分拣已停止。")) << s.result.err;
        }
        // A stop waits for one chunk at most, not for the run.
        EXPECT_LT(s.afterSignal, 10s);

        // Nothing but the folders down to the targets, and there only whole
        // ones; only a killed program may leave its temporary file.
        std::string folder = out;
        for (const std::string& next : path) {
            for (const std::string& name : Entries(folder))
                EXPECT_EQ(name, next) << "stray entry in " << folder;
            folder += "/" + next;
        }
        int placed = 0;
        for (int i = 0; i < kFiles; ++i) {
            const bool there = Exists(targets + "/" + Name(i));
            if (there) {
                EXPECT_TRUE(IsWhole(targets + "/" + Name(i), i)) << Name(i) << " is not whole";
                ++placed;
            }
            if (!moving) {
                EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i) << " at its source";
            } else if (IsFile(Source(i))) {
                EXPECT_FALSE(there) << Name(i) << " is in both places";
                EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i) << " at its source";
            } else {
                EXPECT_TRUE(there) << Name(i) << " is lost";
            }
        }
        if (!killed) {
            EXPECT_EQ(Entries(targets).size(), static_cast<size_t>(placed));
        }
        EXPECT_LT(placed, kFiles) << "the run was not stopped";
        if (!c.anyEntry) {
            EXPECT_GE(placed, 1);
        }
        if (c.json) {
            const Json j = Json::parse(s.result.out);
            EXPECT_TRUE(j["stopped"].boolean());
            EXPECT_EQ(j["exit"].integer(), c.status);
            EXPECT_EQ(j["counts"]["placed"].integer(), placed);
        } else if (!killed) {
            EXPECT_EQ(s.result.out.rfind("分拣已停止：", 0), 0u) << s.result.out;
        }

        // The journal knows the run, killed or not: undo puts back exactly
        // what it did.
        EXPECT_EQ(m_box.history().size(), runsBefore + 1);
        const CliResult undone = m_box.run({"undo", "--yes", "--json"});
        EXPECT_EQ(undone.exitCode, 0) << undone.err;
        EXPECT_EQ(Json::parse(undone.out)["moved_back"].integer(), moving ? placed : 0);
        for (int i = 0; i < kFiles; ++i) {
            EXPECT_FALSE(Exists(targets + "/" + Name(i))) << Name(i) << " after undo";
            EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i) << " after undo";
        }
        std::filesystem::remove_all(out);
    }
}

}  // namespace
