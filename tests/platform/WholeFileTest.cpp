// Whole-file reads and saves (the settings file, list files) against what may
// stand under a name instead of a regular file: devices, pipes, sockets and
// folders, reached directly or through links and chains of links. Such an
// entry is never opened and never replaced; a regular file at the end of a
// chain is rewritten and the links stay links.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "NonRegularFiles.h"
#include "Sys.h"
#include "TempDir.h"
#include "WholeFile.h"

namespace zanfeld {
namespace {

using test::EntryIdentity;
using test::Exists;
using test::FaultySys;
using test::IdentityOf;
using test::IsDir;
using test::LStat;
using test::MakeDir;
using test::Names;
using test::ReadFile;
using test::SysOp;
using test::TempDir;
using test::WriteFile;

std::string LinkText(const std::string& path) {
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    return n < 0 ? std::string() : std::string(buffer, static_cast<size_t>(n));
}

void Symlink(const std::string& text, const std::string& path) {
    ASSERT_EQ(::symlink(text.c_str(), path.c_str()), 0) << path << ": " << std::strerror(errno);
}

// One kind of entry that is not a regular file.
struct Special {
    const char* name;
    int (*make)(const std::string& path);
};

void PrintTo(const Special& special, std::ostream* out) { *out << special.name; }

const Special kSpecials[] = {
    {"Fifo", &test::MakeFifo},
    {"Device", &test::MakeNullDevice},
    {"Socket", &test::MakeSocketFile},
};

// The special entry lies in "odd/", links to it in "links/".
class SpecialTargetTest : public ::testing::TestWithParam<Special> {
  protected:
    void SetUp() override {
        MakeDir(m_tmp / "odd");
        MakeDir(m_tmp / "links");
        if (const int error = GetParam().make(special())) {
            if (error == EPERM || error == EACCES)
                GTEST_SKIP() << "this system refuses to make a " << GetParam().name << " here ("
                             << std::strerror(error) << ")";
            FAIL() << "cannot make " << special() << ": " << std::strerror(error);
        }
        m_identity = IdentityOf(special());
    }
    std::string special() const { return m_tmp / "odd/entry"; }

    // Every way a save or read may reach the entry: by its name, through one
    // absolute link, and through a chain of a relative and an absolute link.
    std::vector<std::string> WaysIn() {
        Symlink(special(), m_tmp / "links/direct");
        Symlink("chain2", m_tmp / "links/chain1");
        Symlink(m_tmp / "odd/../odd/entry", m_tmp / "links/chain2");
        return {special(), m_tmp / "links/direct", m_tmp / "links/chain1"};
    }

    // The entry is the very same one, and nothing was added beside it.
    void ExpectUntouched() {
        EXPECT_EQ(IdentityOf(special()), m_identity);
        EXPECT_EQ(test::Names(m_tmp / "odd"), std::vector<std::string>{"entry"});
        EXPECT_EQ(LinkText(m_tmp / "links/direct"), special());
        EXPECT_EQ(LinkText(m_tmp / "links/chain1"), "chain2");
    }

    TempDir m_tmp;
    EntryIdentity m_identity;
};

TEST_P(SpecialTargetTest, ASaveRefusesItUnopenedAndLeavesItAsItWas) {
    for (const std::string& name : WaysIn()) {
        SCOPED_TRACE(name);
        FaultySys sys;
        int result;
        {
            ScopedSys scoped(sys);
            result = ReplaceFileContents(name, "[Parameter]\nFilter=x\n");
        }
        EXPECT_EQ(result, kNotRegularFile) << ErrorText(result);
        EXPECT_EQ(sys.calls(SysOp::Open), 0);
        EXPECT_EQ(sys.calls(SysOp::Write), 0);
        EXPECT_EQ(sys.calls(SysOp::Rename), 0);
        ExpectUntouched();
    }
}

TEST_P(SpecialTargetTest, AReadRefusesItUnopened) {
    for (const std::string& name : WaysIn()) {
        SCOPED_TRACE(name);
        FaultySys sys;
        std::string out = "before";
        int result;
        {
            ScopedSys scoped(sys);
            result = ReadWholeFile(name, out);
        }
        EXPECT_EQ(result, kNotRegularFile) << ErrorText(result);
        EXPECT_EQ(sys.calls(SysOp::Open), 0);
        EXPECT_EQ(out, "before");
        ExpectUntouched();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SpecialTargetTest, ::testing::ValuesIn(kSpecials),
                         [](const auto& info) { return std::string(info.param.name); });

class WholeFileTest : public ::testing::Test {
  protected:
    TempDir m_tmp;
};

TEST_F(WholeFileTest, AFolderIsNeitherReadNorReplaced) {
    MakeDir(m_tmp / "folder/inside");
    Symlink(m_tmp / "folder", m_tmp / "link");
    for (const std::string& name : {m_tmp / "folder", m_tmp / "link"}) {
        SCOPED_TRACE(name);
        FaultySys sys;
        std::string out;
        {
            ScopedSys scoped(sys);
            EXPECT_EQ(ReplaceFileContents(name, "data"), EISDIR);
            EXPECT_EQ(ReadWholeFile(name, out), EISDIR);
        }
        EXPECT_EQ(sys.calls(SysOp::Open), 0);
        EXPECT_EQ(Names(m_tmp / "folder"), std::vector<std::string>{"inside"});
        EXPECT_TRUE(IsDir(m_tmp / "folder/inside"));
    }
    EXPECT_TRUE(S_ISLNK(LStat(m_tmp / "link").st_mode));
}

TEST_F(WholeFileTest, AChainOfLinksLeadsToTheFileThatIsRewritten) {
    MakeDir(m_tmp / "real");
    MakeDir(m_tmp / "a");
    MakeDir(m_tmp / "b");
    const std::string real = m_tmp / "real/list.lst";
    WriteFile(real, std::string(5000, 'o'));
    ASSERT_EQ(::chmod(real.c_str(), 0604), 0);
    Symlink("../b/second", m_tmp / "a/first");  // relative, read from a/
    Symlink(real, m_tmp / "b/second");
    const ino_t before = LStat(real).st_ino;

    ASSERT_EQ(ReplaceFileContents(m_tmp / "a/first", "new"), 0);
    EXPECT_EQ(ReadFile(real), "new");
    EXPECT_NE(LStat(real).st_ino, before);  // replaced by a rename, not written in place
    EXPECT_EQ(LStat(real).st_mode & 07777, 0604u);
    EXPECT_EQ(LinkText(m_tmp / "a/first"), "../b/second");
    EXPECT_EQ(LinkText(m_tmp / "b/second"), real);
    // The temporary file went beside the real file and is gone.
    EXPECT_EQ(Names(m_tmp / "real"), std::vector<std::string>{"list.lst"});
    EXPECT_EQ(Names(m_tmp / "a"), std::vector<std::string>{"first"});
    EXPECT_EQ(Names(m_tmp / "b"), std::vector<std::string>{"second"});

    std::string out;
    ASSERT_EQ(ReadWholeFile(m_tmp / "a/first", out), 0);
    EXPECT_EQ(out, "new");
}

TEST_F(WholeFileTest, ADanglingLinkGetsItsFileCreatedAndStaysALink) {
    MakeDir(m_tmp / "config");
    MakeDir(m_tmp / "store");
    Symlink("../store/Zanfeld.ini", m_tmp / "config/Zanfeld.ini");
    Symlink("Zanfeld.ini", m_tmp / "config/alias.ini");  // a chain ending in the dangling link

    ASSERT_EQ(ReplaceFileContents(m_tmp / "config/alias.ini", "saved"), 0);
    EXPECT_EQ(ReadFile(m_tmp / "store/Zanfeld.ini"), "saved");
    EXPECT_EQ(LinkText(m_tmp / "config/Zanfeld.ini"), "../store/Zanfeld.ini");
    EXPECT_EQ(LinkText(m_tmp / "config/alias.ini"), "Zanfeld.ini");
    EXPECT_EQ(Names(m_tmp / "store"), std::vector<std::string>{"Zanfeld.ini"});

    // A dangling link into a folder that does not exist creates nothing.
    Symlink(m_tmp / "missing/x.ini", m_tmp / "config/nowhere.ini");
    EXPECT_EQ(ReplaceFileContents(m_tmp / "config/nowhere.ini", "x"), ENOENT);
    EXPECT_FALSE(Exists(m_tmp / "missing"));
    EXPECT_EQ(LinkText(m_tmp / "config/nowhere.ini"), m_tmp / "missing/x.ini");
}

TEST_F(WholeFileTest, ALoopOfLinksIsRefused) {
    Symlink("two", m_tmp / "one");
    Symlink("one", m_tmp / "two");
    EXPECT_EQ(ReplaceFileContents(m_tmp / "one", "x"), ELOOP);
    std::string out;
    EXPECT_EQ(ReadWholeFile(m_tmp / "one", out), ELOOP);
    EXPECT_EQ(LinkText(m_tmp / "one"), "two");
    EXPECT_EQ(Names(m_tmp.path()), (std::vector<std::string>{"one", "two"}));
}

// Just before the rename the save looks again: what another program put under
// the name while the data was written is not replaced.
TEST_F(WholeFileTest, WhatAppearsUnderTheNameDuringASaveIsNotReplaced) {
    const std::string target = m_tmp / "list.lst";
    struct Swap {
        const char* what;
        std::function<int(const std::string&)> make;
        int expected;
    };
    const std::vector<Swap> swaps = {
        {"pipe", [](const std::string& p) { return test::MakeFifo(p); }, kNotRegularFile},
        {"folder", [](const std::string& p) { return ::mkdir(p.c_str(), 0755) ? errno : 0; },
         EISDIR},
        {"link",
         [this](const std::string& p) {
             return ::symlink((m_tmp / "elsewhere").c_str(), p.c_str()) ? errno : 0;
         },
         kSourceChanged},
    };
    for (const Swap& swap : swaps) {
        SCOPED_TRACE(swap.what);
        WriteFile(target, "old");
        FaultySys sys;
        sys.beforeCall(SysOp::Fdatasync, [&] {
            ASSERT_EQ(::unlink(target.c_str()), 0);
            ASSERT_EQ(swap.make(target), 0);
        });
        int result;
        {
            ScopedSys scoped(sys);
            result = ReplaceFileContents(target, "new");
        }
        EXPECT_EQ(result, swap.expected) << ErrorText(result);
        EXPECT_EQ(sys.calls(SysOp::Rename), 0);
        EXPECT_EQ(Names(m_tmp.path()), std::vector<std::string>{"list.lst"});
        const mode_t type = LStat(target).st_mode & S_IFMT;
        EXPECT_NE(type, S_IFREG);
        if (type == S_IFDIR)
            ::rmdir(target.c_str());
        else
            ::unlink(target.c_str());
    }
}

TEST_F(WholeFileTest, APrivateFileIsNeverMoreOpenOnItsWay) {
    const std::string target = m_tmp / "Zanfeld.ini";
    WriteFile(target, "secret");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    FaultySys sys;
    mode_t tempMode = 07777;
    sys.beforeCall(SysOp::Write, [&] {
        for (const std::string& name : Names(m_tmp.path()))
            if (name[0] == '.') tempMode = LStat(m_tmp / name).st_mode & 07777;
    });
    {
        ScopedSys scoped(sys);
        ASSERT_EQ(ReplaceFileContents(target, "new secret"), 0);
    }
    EXPECT_EQ(tempMode & 077, 0u) << std::oct << tempMode;
    EXPECT_EQ(LStat(target).st_mode & 07777, 0600u);
    EXPECT_EQ(ReadFile(target), "new secret");
}

TEST_F(WholeFileTest, AReadKeepsNulBytesAndTheTrueLength) {
    const std::string data("[A]\nk=1\n\0[B]\nj=2\n\0", 18);
    WriteFile(m_tmp / "f", data);
    std::string out;
    ASSERT_EQ(ReadWholeFile(m_tmp / "f", out), 0);
    EXPECT_EQ(out, data);
    EXPECT_EQ(out.size(), 18u);
}

TEST_F(WholeFileTest, AFileOverTheLimitIsRefusedBeforeItIsOpened) {
    const std::string big = m_tmp / "big";
    const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 1 << 20), 0);
    ::close(fd);
    FaultySys sys;
    std::string out = "before";
    {
        ScopedSys scoped(sys);
        EXPECT_EQ(ReadWholeFile(big, out, (1 << 20) - 1), EFBIG);
        EXPECT_EQ(sys.calls(SysOp::Open), 0);
        EXPECT_EQ(sys.calls(SysOp::Read), 0);
        EXPECT_EQ(ReadWholeFile(big, out, 1 << 20), 0);
    }
    EXPECT_EQ(out.size(), size_t(1) << 20);
}

// The name looked at is not the file opened: another file was renamed over it.
TEST_F(WholeFileTest, ANameSwappedBetweenTheLookAndTheOpenIsRefused) {
    const std::string name = m_tmp / "list.lst";
    WriteFile(name, "looked at");
    WriteFile(m_tmp / "other", "swapped in");
    FaultySys sys;
    sys.beforeCall(SysOp::Open,
                   [&] { ASSERT_EQ(::rename((m_tmp / "other").c_str(), name.c_str()), 0); });
    std::string out = "before";
    int result;
    {
        ScopedSys scoped(sys);
        result = ReadWholeFile(name, out);
    }
    EXPECT_EQ(result, kSourceChanged);
    EXPECT_EQ(out, "before");
    EXPECT_EQ(sys.calls(SysOp::Read), 0);
}

}  // namespace
}  // namespace zanfeld
