// Ctrl-C (and SIGTERM) during a large run of the built zanfeld-cli: the run
// stops between files or chunks, and leaves every file whole: no half copy,
// no stray temporary file, a stopped move's file in exactly one place.

#include <dirent.h>
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
#include <memory>
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
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << path;
    std::unique_ptr<char[]> chunk(new char[kChunk]);
    for (size_t c = 0; c < kChunksPerFile; ++c) {
        Fill(chunk.get(), file, c);
        ASSERT_EQ(::write(fd, chunk.get(), kChunk), static_cast<ssize_t>(kChunk)) << path;
    }
    ASSERT_EQ(::close(fd), 0);
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
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
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
        for (int i = 0; i < kFiles; ++i) {
            WriteBigFile(Source(i), i);
            m_args.push_back(Source(i));
        }
    }
    std::string Source(int file) const { return m_box / ("src/" + Name(file)); }

    struct Stopped {
        CliResult result;
        std::chrono::milliseconds afterSignal{};
        bool allReached = true;  // every signal found the program running
    };
    // The arguments of sort --by type into out.
    std::vector<std::string> SortArgs(const std::string& out, const char* mode) const {
        std::vector<std::string> args{"sort", "--by", "type", mode, "--out", out};
        args.insert(args.end(), m_args.begin(), m_args.end());
        return args;
    }
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
    // The output holds nothing but the folders down to the files (.dat, or
    // src/src for a folder run), and there only whole targets; returns how many.
    int CheckOutput(const std::string& out, const std::vector<std::string>& folders = {".dat"}) {
        std::string folder = out;
        for (const std::string& next : folders) {
            for (const std::string& name : Entries(folder))
                EXPECT_EQ(name, next) << "stray entry in " << folder;
            folder += "/" + next;
        }
        int whole = 0;
        for (const std::string& name : Entries(folder)) {
            int file = -1;
            for (int i = 0; i < kFiles; ++i) {
                if (name == Name(i)) file = i;
            }
            if (file < 0) {
                ADD_FAILURE() << "stray entry in the output: " << name;
                continue;
            }
            EXPECT_TRUE(IsWhole(folder + "/" + name, file)) << name << " is not whole";
            ++whole;
        }
        return whole;
    }
    void CheckStopped(const Stopped& s, int status) {
        EXPECT_FALSE(s.result.timedOut);
        EXPECT_EQ(s.result.exitCode, status) << s.result.err;
        EXPECT_NE(s.result.err.find("分拣已停止。"), std::string::npos) << s.result.err;
        EXPECT_EQ(s.result.out.rfind("分拣已停止：", 0), 0u) << s.result.out;
        // A stop waits for one chunk at most, not for the run.
        EXPECT_LT(s.afterSignal, 10s);
    }

    CliSandbox m_box{ZANFELD_CLI};
    std::vector<std::string> m_args;
};

TEST_F(CliStopTest, CtrlCDuringACopyLeavesOnlyWholeFiles) {
    const std::string out = m_box / "out";
    Stopped s = RunAndStop(SortArgs(out, "--copy"), out + "/.dat", {SIGINT}, false);
    CheckStopped(s, 130);
    int placed = CheckOutput(out);
    EXPECT_GE(placed, 1);
    EXPECT_LT(placed, kFiles) << "the run was not stopped";
    for (int i = 0; i < kFiles; ++i) EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i);

    // SIGTERM stops the same way; a file caught half-way is not left.
    std::filesystem::remove_all(out);
    std::vector<std::string> args = SortArgs(out, "--copy");
    args.push_back("--json");
    s = RunAndStop(args, out + "/.dat", {SIGTERM}, true);
    EXPECT_FALSE(s.result.timedOut);
    EXPECT_EQ(s.result.exitCode, 143) << s.result.err;
    EXPECT_NE(s.result.err.find("分拣已停止。"), std::string::npos) << s.result.err;
    placed = CheckOutput(out);
    EXPECT_LT(placed, kFiles);
    const Json j = Json::parse(s.result.out);
    EXPECT_TRUE(j["stopped"].boolean());
    EXPECT_EQ(j["exit"].integer(), 143);
    EXPECT_EQ(j["counts"]["placed"].integer(), placed);
    for (int i = 0; i < kFiles; ++i) EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i);

    // A second Ctrl-C ends the program at once; the sources are untouched,
    // no name holds half a copy, and the journal knows the run.
    std::filesystem::remove_all(out);
    s = RunAndStop(SortArgs(out, "--copy"), out + "/.dat", {SIGINT, SIGINT}, true);
    if (s.allReached) {
        EXPECT_EQ(s.result.signal, SIGINT) << "exit " << s.result.exitCode << "\n" << s.result.err;
    } else {
        // The first stop was done before the second Ctrl-C could come.
        EXPECT_EQ(s.result.exitCode, 130) << s.result.err;
    }
    for (int i = 0; i < kFiles; ++i) {
        EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i);
        const std::string target = out + "/.dat/" + Name(i);
        if (Exists(target)) {
            EXPECT_TRUE(IsWhole(target, i)) << target;
        }
    }
    Json runs;
    ASSERT_NO_THROW(runs = m_box.history());
    EXPECT_EQ(runs.size(), 3u);
    const CliResult undone = m_box.run({"undo", "--yes"});
    EXPECT_EQ(undone.exitCode, 0) << undone.err;
    for (int i = 0; i < kFiles; ++i) {
        EXPECT_FALSE(Exists(out + "/.dat/" + Name(i))) << Name(i);
        EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i);
    }
}

TEST_F(CliStopTest, CtrlCDuringAMoveToAnotherFileSystemLeavesEachFileInOnePlace) {
    struct statfs fs;
    if (::statfs("/dev/shm", &fs) != 0 || fs.f_type != TMPFS_MAGIC ||
        !OnDifferentDevices("/tmp", "/dev/shm"))
        GTEST_SKIP() << "/dev/shm is no file system of its own";
    if (!HasRoom("/dev/shm", 2ull * kFiles * kFileSize))
        GTEST_SKIP() << "/dev/shm has no room for the large files";
    const TempDir shm("/dev/shm");
    for (bool anyEntry : {false, true}) {
        const std::string out = shm / (anyEntry ? "out2" : "out1");
        const Stopped s = RunAndStop(SortArgs(out, "--move"), out + "/.dat", {SIGINT}, anyEntry);
        CheckStopped(s, 130);
        const int placed = CheckOutput(out);
        EXPECT_LT(placed, kFiles) << "the run was not stopped";
        int atSource = 0;
        for (int i = 0; i < kFiles; ++i) {
            const std::string target = out + "/.dat/" + Name(i);
            const bool there = IsFile(target);
            const bool here = IsFile(Source(i));
            EXPECT_NE(there, here) << Name(i) << (there ? " is in both places" : " is lost");
            if (here) {
                EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i) << " at its source";
                ++atSource;
            }
        }
        EXPECT_EQ(placed + atSource, kFiles);
        // The journal knows what moved: undo puts back exactly that.
        const CliResult undone = m_box.run({"undo", "--yes", "--json"});
        EXPECT_EQ(undone.exitCode, 0) << undone.err;
        EXPECT_EQ(Json::parse(undone.out)["moved_back"].integer(), placed);
        for (int i = 0; i < kFiles; ++i) EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i);
        EXPECT_EQ(Entries(out + "/.dat").size(), 0u);
    }
}

TEST_F(CliStopTest, CtrlCDuringAFolderCopyLeavesOnlyWholeFiles) {
    const std::string out = m_box / "out";
    const Stopped s = RunAndStop({"sort-folders", "--by", "name", "--out", out, m_box / "src"},
                                 out + "/src/src", {SIGINT}, false);
    CheckStopped(s, 130);
    const int placed = CheckOutput(out, {"src", "src"});
    EXPECT_GE(placed, 1);
    EXPECT_LT(placed, kFiles) << "the run was not stopped";
    for (int i = 0; i < kFiles; ++i) EXPECT_TRUE(IsWhole(Source(i), i)) << Name(i);
}

}  // namespace
