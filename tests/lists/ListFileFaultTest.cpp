// List files under failing system calls: every call of an export and of an
// import is failed once in turn. An export either writes the whole list or
// reports its error and leaves the old list file as it was, with no temporary
// file beside it; an import either reports its error and adds nothing, or
// adds lines of the file in their order.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "ListFile.h"
#include "SourceList.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

std::array<int, static_cast<size_t>(SysOp::Count)> Counts(const FaultySys& sys) {
    std::array<int, static_cast<size_t>(SysOp::Count)> counts{};
    for (size_t i = 0; i < counts.size(); ++i) counts[i] = sys.calls(static_cast<SysOp>(i));
    return counts;
}

class ListFileFaultTest : public ::testing::Test {
  protected:
    ListFileFaultTest() {
        for (int i = 0; i < 40; ++i) {
            m_files.push_back(m_dir / ("files/" + std::string(200, 'a' + i % 26) + "/" +
                                       std::to_string(i) + ".txt"));
            WriteFile(m_files.back(), "x");
        }
    }
    std::string list() const { return m_dir / "lists/file.lst"; }

    TempDir m_dir;
    std::vector<std::string> m_files;
};

TEST_F(ListFileFaultTest, EveryCallOfAnExportFailedOnce) {
    const std::string old = m_files[0] + "\r\n";
    std::string full;
    for (const auto& f : m_files) full += f + "\r\n";
    WriteFile(list(), old);
    FaultySys sys;
    {
        ScopedSys scoped(sys);
        ASSERT_TRUE(ExportListFile(list(), m_files).ok);
    }
    const auto clean = Counts(sys);
    int injected = 0;
    for (size_t i = 0; i < clean.size(); ++i) {
        for (int nth = 1; nth <= clean[i]; ++nth) {
            SCOPED_TRACE("call " + std::to_string(nth) + " of op " + std::to_string(i));
            WriteFile(list(), old);
            sys.reset();
            sys.failAfterPartial(static_cast<SysOp>(i), ENOSPC, nth);
            ListFileResult r;
            {
                ScopedSys scoped(sys);
                r = ExportListFile(list(), m_files);
            }
            ++injected;
            if (r.ok) {
                EXPECT_EQ(ReadFile(list()), full);
            } else {
                EXPECT_EQ(r.error.rfind("Cannot create file \"" + list() + "\". ", 0), 0u)
                    << r.error;
                EXPECT_EQ(ReadFile(list()), old);
            }
            EXPECT_EQ(Names(m_dir / "lists"), std::vector<std::string>{"file.lst"});
            if (HasFailure()) return;
        }
    }
    std::printf("[ sweep    ] list export: %d faults injected\n", injected);
}

TEST_F(ListFileFaultTest, EveryCallOfAnImportFailedOnce) {
    // A long line of a missing file in the middle, so that reading the list
    // takes more than one call.
    std::string data;
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (i == m_files.size() / 2) data += "/missing/" + std::string(100000, 'x') + "\r\n";
        data += m_files[i] + "\r\n";
    }
    WriteFile(list(), data);
    FaultySys sys;
    {
        ScopedSys scoped(sys);
        SourceList all;
        ASSERT_EQ(ImportListFile(list(), all, ListKind::Files).count, m_files.size());
    }
    const auto clean = Counts(sys);
    int injected = 0;
    for (size_t i = 0; i < clean.size(); ++i) {
        for (int nth = 1; nth <= clean[i]; ++nth) {
            SCOPED_TRACE("call " + std::to_string(nth) + " of op " + std::to_string(i));
            sys.reset();
            sys.failAfterPartial(static_cast<SysOp>(i), EIO, nth);
            SourceList entries;
            entries.AddIfAbsent(m_dir / "already");
            ListFileResult r;
            {
                ScopedSys scoped(sys);
                r = ImportListFile(list(), entries, ListKind::Files);
            }
            ++injected;
            EXPECT_EQ(entries.at(0), m_dir / "already");
            if (!r.ok) {
                EXPECT_EQ(entries.size(), 1u) << "a failed import added entries";
                continue;
            }
            // Lines of the file, in its order; a line whose existence test
            // failed is passed over.
            size_t at = 0;
            for (size_t k = 1; k < entries.size(); ++k) {
                while (at < m_files.size() && m_files[at] != entries.at(k)) ++at;
                EXPECT_LT(at, m_files.size()) << "not a line of the file: " << entries.at(k);
            }
            EXPECT_GE(entries.size(), m_files.size());  // at most one line passed over
            if (HasFailure()) return;
        }
    }
    std::printf("[ sweep    ] list import: %d faults injected\n", injected);
}

}  // namespace
