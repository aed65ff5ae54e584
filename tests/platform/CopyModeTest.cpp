// A copy keeps the source's permission bits. The unnamed temporary file starts
// with them, so the bits are only set afterwards when the umask took some
// away or the source has set-id or sticky bits. A hidden name starts with
// them too, but for a file its owner may not write, which starts private.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "FaultySys.h"
#include "FileOps.h"
#include "TargetFolder.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::FaultySys;
using test::SysOp;

class CopyModeTest : public ::testing::Test {
  protected:
    CopyModeTest() : m_umask(::umask(022)) {
        test::WriteFile(m_dir / "src", "some data");
        test::MakeDir(m_dir / "out");
        NewRun();
    }
    // A run holds its target folder open afresh, and learns its bits afresh.
    void NewRun() { EXPECT_EQ(m_out.open(m_dir / "out"), 0); }
    ~CopyModeTest() override { ::umask(m_umask); }

    // Copies src with the given mode to out/<name>; returns the copy's bits
    // and how many fchmod calls the copy made.
    std::pair<mode_t, int> Copy(mode_t mode, const std::string& name, bool hidden = false) {
        EXPECT_EQ(::chmod((m_dir / "src").c_str(), mode), 0);
        FaultySys sys;
        if (hidden) sys.refuseUnnamedFiles();
        // The bits of the hidden temporary while its data goes in.
        m_startBits = 0;
        sys.beforeCall(SysOp::CopyFileRange, [&] {
            for (const auto& e : std::filesystem::directory_iterator(m_dir / "out")) {
                struct stat st {};
                if (e.path().filename().string().rfind(".zanfeld-", 0) == 0 &&
                    ::stat(e.path().c_str(), &st) == 0)
                    m_startBits = st.st_mode & 07777;
            }
        });
        {
            ScopedSys scoped(sys);
            std::string placed = name;
            EXPECT_EQ(CopyFileInto(m_dir / "src", m_out, placed, Publish::Keep), 0);
        }
        struct stat st {};
        EXPECT_EQ(::stat((m_dir / ("out/" + name)).c_str(), &st), 0);
        EXPECT_EQ(test::ReadFile(m_dir / ("out/" + name)), "some data");
        m_lastFstats = sys.calls(SysOp::Fstat);
        return {st.st_mode & 07777, sys.calls(SysOp::Fchmod)};
    }

    test::TempDir m_dir;
    mode_t m_umask;
    TargetFolder m_out;
    int m_lastFstats = 0;    // fstat calls of the last Copy
    mode_t m_startBits = 0;  // of the last Copy's hidden temporary, 0 for none
};

TEST_F(CopyModeTest, BitsTheFileWasMadeWithAreNotSetAgain) {
    EXPECT_EQ(Copy(0640, "a"), std::make_pair(mode_t{0640}, 0));
    EXPECT_EQ(Copy(0644, "b"), std::make_pair(mode_t{0644}, 0));
    // Read-only: the temporary file is written through its descriptor all the same.
    EXPECT_EQ(Copy(0444, "c"), std::make_pair(mode_t{0444}, 0));
}

TEST_F(CopyModeTest, BitsTheUmaskTookAwayAreSet) {
    EXPECT_EQ(Copy(0666, "a"), std::make_pair(mode_t{0666}, 1));
    EXPECT_EQ(Copy(0775, "b"), std::make_pair(mode_t{0775}, 1));
}

TEST_F(CopyModeTest, SetIdAndStickyBitsGoOnOnceTheDataIsIn) {
    EXPECT_EQ(Copy(04755, "a"), std::make_pair(mode_t{04755}, 1));
    EXPECT_EQ(Copy(01644, "b"), std::make_pair(mode_t{01644}, 1));
}

// The source is looked at once through its descriptor (after its data is
// read, to see it unchanged); a second look is at the bits the new file was
// given.
TEST_F(CopyModeTest, BitsAFolderWasSeenToKeepAreNotLookedAtAgain) {
    EXPECT_EQ(Copy(0644, "a"), std::make_pair(mode_t{0644}, 0));
    EXPECT_EQ(m_lastFstats, 2);
    EXPECT_EQ(Copy(0644, "b"), std::make_pair(mode_t{0644}, 0));
    EXPECT_EQ(m_lastFstats, 1);
    EXPECT_EQ(Copy(0640, "c"), std::make_pair(mode_t{0640}, 0));
    EXPECT_EQ(m_lastFstats, 1);
    // Group write was never seen kept: looked at, and set since the umask took it.
    EXPECT_EQ(Copy(0664, "d"), std::make_pair(mode_t{0664}, 1));
    EXPECT_EQ(m_lastFstats, 2);
    EXPECT_EQ(Copy(0664, "e"), std::make_pair(mode_t{0664}, 1));
    EXPECT_EQ(Copy(0755, "f"), std::make_pair(mode_t{0755}, 0));
    EXPECT_EQ(m_lastFstats, 2);
    EXPECT_EQ(Copy(0711, "g"), std::make_pair(mode_t{0711}, 0));
    EXPECT_EQ(m_lastFstats, 1);
}

TEST_F(CopyModeTest, ARunSeesAChangedUmaskAgain) {
    ::umask(0);
    EXPECT_EQ(Copy(0666, "a"), std::make_pair(mode_t{0666}, 0));
    ::umask(022);
    NewRun();
    EXPECT_EQ(Copy(0666, "b"), std::make_pair(mode_t{0666}, 1));
}

// Starting with the bits spares setting them, which is a round trip on the
// network file systems that have no unnamed files.
TEST_F(CopyModeTest, AHiddenTemporaryStartsWithTheBitsUnlessItsOwnerMayNotWrite) {
    const struct {
        mode_t mode;
        mode_t start;
        int fchmods;
    } cases[] = {
        {0644, 0644, 0},  {0640, 0640, 0},
        {0666, 0644, 1},   // the umask took group and other write away
        {0444, 0600, 1},   // private while written
        {04755, 0755, 1},  // set-id bits only once the data is in
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const std::string name = "f" + std::to_string(c.mode);
        EXPECT_EQ(Copy(c.mode, name, true), std::make_pair(c.mode, c.fchmods));
        EXPECT_EQ(m_startBits, c.start);
    }
}

}  // namespace
}  // namespace zanfeld
