// The watch loop on real folders with the system's own notices, settle time
// 0.2 s: what it hands over to be sorted, when, and what it never touches.

#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "FolderWatch.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;
using namespace std::chrono_literals;

namespace {

constexpr auto kSettle = 200ms;

// Keeps what the watch handed over, each batch with the time it came.
class Recorder : public FolderWatch::Client {
  public:
    void sort(int group, const std::vector<std::string>& files) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_batches.push_back({std::chrono::steady_clock::now(), files});
    }
    void tell(const std::string& message) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_told.push_back(message);
    }
    bool stopRequested() override { return m_stop.load(); }

    // When path was handed over, or none yet.
    std::optional<std::chrono::steady_clock::time_point> handed(const std::string& path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& [at, files] : m_batches)
            for (const std::string& f : files)
                if (f == path) return at;
        return std::nullopt;
    }
    size_t timesHanded(const std::string& path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        size_t n = 0;
        for (const auto& batch : m_batches)
            n += std::count(batch.second.begin(), batch.second.end(), path);
        return n;
    }
    std::string told() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::string all;
        for (const std::string& t : m_told) all += t + "\n";
        return all;
    }
    std::atomic<bool> m_stop{false};

  private:
    std::mutex m_mutex;
    std::vector<std::pair<std::chrono::steady_clock::time_point, std::vector<std::string>>>
        m_batches;
    std::vector<std::string> m_told;
};

class FolderWatchTest : public ::testing::Test {
  protected:
    void start(int depth, bool initial = true) {
        FolderWatch::Setup setup;
        setup.roots.push_back({m_dir / "in", depth, 0});
        setup.outputs.push_back(m_dir / "in/out");
        setup.outputs.push_back(m_dir / "in/later");  // made only once the watch runs
        setup.settle = kSettle;
        setup.initialScan = initial;
        m_watch = std::make_unique<FolderWatch>(setup, m_events, m_client);
        m_thread = std::thread([this] { m_watch->run(); });
        std::this_thread::sleep_for(50ms);  // the watches are in place
    }
    void TearDown() override {
        m_client.m_stop = true;
        m_events.wake();
        if (m_thread.joinable()) m_thread.join();
    }
    bool waitFor(const std::string& path, std::chrono::milliseconds limit = 3000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (m_client.handed(path)) return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    TempDir m_dir;
    FolderEvents m_events;
    Recorder m_client;
    std::unique_ptr<FolderWatch> m_watch;
    std::thread m_thread;
};

TEST(FolderWatchNames, TheMakingAndTheHiddenAreNeverTaken) {
    for (const char* name : {".hidden", ".goutputstream-X1", ".zanfeld-tmp", "a.part", "b.PART",
                             "c.crdownload", "d.download", "e.partial", "f.tmp", "~$report.docx"})
        EXPECT_TRUE(FolderWatch::Ignored(name)) << name;
    for (const char* name : {"report.docx", "part", "a.party", "photo.tmp.jpg", "x~$"})
        EXPECT_FALSE(FolderWatch::Ignored(name)) << name;
}

// A file written in parts, each pause shorter than the settle time, is
// handed over only once it has been left alone for the settle time.
TEST_F(FolderWatchTest, ASlowWriteIsTakenOnlyOnceItSettles) {
    MakeDir(m_dir / "in");
    start(0);
    const std::string path = m_dir / "in/slow.bin";
    FILE* f = ::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    for (int part = 0; part < 8; ++part) {
        ::fputs("some more bytes of the download\n", f);
        ::fflush(f);
        std::this_thread::sleep_for(kSettle / 2);
        EXPECT_FALSE(m_client.handed(path)) << "taken while still written, part " << part;
    }
    ::fclose(f);
    const auto closed = std::chrono::steady_clock::now();
    ASSERT_TRUE(waitFor(path));
    const auto at = *m_client.handed(path);
    EXPECT_GE(at - closed, kSettle - 20ms);
    EXPECT_LE(at - closed, kSettle + 500ms);
}

// A download in the making is left alone until renamed; what lies in the
// output folder below the watched one is never taken, made before the
// start or after, nor is it watched.
TEST_F(FolderWatchTest, DownloadsWaitAndTheOutputIsNeverTaken) {
    MakeDir(m_dir / "in/sub");
    WriteFile(m_dir / "in/out/old/earlier.txt", "sorted before");
    start(-1);
    EXPECT_EQ(m_watch->watchedFolders(), 2u);  // in and in/sub, not the output
    WriteFile(m_dir / "in/film.mkv.crdownload", "half a film");
    WriteFile(m_dir / "in/later/new/placed.txt", "placed by a run");
    WriteFile(m_dir / "in/sub/note.txt", "a note");
    ASSERT_TRUE(waitFor(m_dir / "in/sub/note.txt"));
    std::this_thread::sleep_for(kSettle);
    EXPECT_FALSE(m_client.handed(m_dir / "in/film.mkv.crdownload"));
    ASSERT_EQ(::rename((m_dir / "in/film.mkv.crdownload").c_str(), (m_dir / "in/film.mkv").c_str()),
              0);
    EXPECT_TRUE(waitFor(m_dir / "in/film.mkv"));
    EXPECT_EQ(m_watch->watchedFolders(), 2u);
    for (const char* inOutput : {"in/out/old/earlier.txt", "in/later/new/placed.txt"})
        EXPECT_FALSE(m_client.handed(m_dir / inOutput)) << inOutput;
    EXPECT_EQ(m_client.timesHanded(m_dir / "in/sub/note.txt"), 1u);
}

// Lost notices (an overflow, through the test seam) lead to a rescan that
// finds what no notice told of; a watched folder removed and made again is
// watched again, and both are told.
TEST_F(FolderWatchTest, AnOverflowRescansAndAFolderMadeAgainIsWatchedAgain) {
    WriteFile(m_dir / "in/unseen.txt", "here before the start");
    start(0, false);
    std::this_thread::sleep_for(kSettle * 2);
    EXPECT_FALSE(m_client.handed(m_dir / "in/unseen.txt"));
    m_events.injectOverflow();
    EXPECT_TRUE(waitFor(m_dir / "in/unseen.txt"));
    EXPECT_NE(m_client.told().find("事件队列"), std::string::npos) << m_client.told();

    ASSERT_EQ(::unlink((m_dir / "in/unseen.txt").c_str()), 0);
    ASSERT_EQ(::rmdir((m_dir / "in").c_str()), 0);
    std::this_thread::sleep_for(100ms);
    MakeDir(m_dir / "in");
    std::this_thread::sleep_for(100ms);
    WriteFile(m_dir / "in/after.txt", "arrived in the new folder");
    EXPECT_TRUE(waitFor(m_dir / "in/after.txt"));
    EXPECT_NE(m_client.told().find("已不存在"), std::string::npos) << m_client.told();
}

}  // namespace
