// The settings file under failing system calls: every call of a save and of a
// load is failed once in turn. A save either writes the whole new section or
// reports "Unable to write to" and leaves the file exactly as it was, with no
// temporary file beside it; a load gives the stored values or the defaults,
// never a mixture.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "SettingsFile.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

constexpr char kBefore[] =
    "; written by hand\n[Parameter2]\nFilter=keep\nPage=2\n[Parameter]\nFilter=before\n"
    "SameFile=3\nPage=4\nEdtKeys=a b\nSuffixFilter=*.txt|*.doc|\nDTDate=2020-02-29\n";

std::array<int, static_cast<size_t>(SysOp::Count)> Counts(const FaultySys& sys) {
    std::array<int, static_cast<size_t>(SysOp::Count)> counts{};
    for (size_t i = 0; i < counts.size(); ++i) counts[i] = sys.calls(static_cast<SysOp>(i));
    return counts;
}

class SettingsFaultTest : public ::testing::Test {
  protected:
    std::string ini() const { return m_dir / "config/Zanfeld.ini"; }
    FileWindowSettings Changed() const {
        FileWindowSettings s = LoadFileWindowSettings(ini(), m_dir.path());
        s.filter = "after";
        s.page = 1;
        return s;
    }
    TempDir m_dir;
};

TEST_F(SettingsFaultTest, EveryCallOfASaveFailedOnce) {
    WriteFile(ini(), kBefore);
    const FileWindowSettings changed = Changed();
    FaultySys sys;
    {
        ScopedSys scoped(sys);
        ASSERT_EQ(SaveFileWindowSettings(ini(), changed), "");
    }
    const auto clean = Counts(sys);
    int injected = 0, refused = 0;
    for (size_t i = 0; i < clean.size(); ++i) {
        for (int nth = 1; nth <= clean[i]; ++nth) {
            const SysOp op = static_cast<SysOp>(i);
            SCOPED_TRACE("call " + std::to_string(nth) + " of op " + std::to_string(i));
            WriteFile(ini(), kBefore);
            sys.reset();
            sys.failOn(op, op == SysOp::Write ? ENOSPC : EIO, nth);
            std::string result;
            {
                ScopedSys scoped(sys);
                result = SaveFileWindowSettings(ini(), changed);
            }
            ++injected;
            if (result.empty()) {
                const FileWindowSettings back = LoadFileWindowSettings(ini(), m_dir.path());
                EXPECT_EQ(back.filter, "after");
                EXPECT_EQ(back.page, 1);
                EXPECT_EQ(LoadFolderWindowSettings(ini(), m_dir.path()).filter, "keep");
            } else {
                ++refused;
                EXPECT_EQ(result, "Unable to write to " + ini());
                EXPECT_EQ(ReadFile(ini()), kBefore);
            }
            EXPECT_EQ(Names(m_dir / "config"), std::vector<std::string>{"Zanfeld.ini"});
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(refused, 3);
    std::printf("[ sweep    ] settings save: %d faults injected, %d refused\n", injected, refused);
}

TEST_F(SettingsFaultTest, EveryCallOfALoadFailedOnce) {
    WriteFile(ini(), kBefore);
    const std::string programDir = m_dir / "program";
    MakeDir(programDir);
    FaultySys sys;
    FileWindowSettings stored;
    {
        ScopedSys scoped(sys);
        stored = LoadFileWindowSettings(ini(), programDir);
    }
    ASSERT_EQ(stored.filter, "before");
    const FileWindowSettings defaults = LoadFileWindowSettings(m_dir / "none.ini", programDir);
    const auto clean = Counts(sys);
    int injected = 0;
    for (size_t i = 0; i < clean.size(); ++i) {
        for (int nth = 1; nth <= clean[i]; ++nth) {
            SCOPED_TRACE("call " + std::to_string(nth) + " of op " + std::to_string(i));
            sys.reset();
            sys.failOn(static_cast<SysOp>(i), EIO, nth);
            FileWindowSettings s;
            {
                ScopedSys scoped(sys);
                s = LoadFileWindowSettings(ini(), programDir);
            }
            ++injected;
            // The stored folder may go unapplied when it cannot be checked;
            // everything else comes whole from one side.
            const FileWindowSettings& like = s.filter == stored.filter ? stored : defaults;
            EXPECT_EQ(s.filter, like.filter);
            EXPECT_EQ(s.sameFilePolicy, like.sameFilePolicy);
            EXPECT_EQ(s.page, like.page);
            EXPECT_EQ(s.edtKeys, like.edtKeys);
            EXPECT_EQ(s.suffixFilter, like.suffixFilter);
            EXPECT_EQ(s.dtDate.has_value(), like.dtDate.has_value());
        }
    }
    EXPECT_EQ(ReadFile(ini()), kBefore);
    std::printf("[ sweep    ] settings load: %d faults injected\n", injected);
}

}  // namespace
