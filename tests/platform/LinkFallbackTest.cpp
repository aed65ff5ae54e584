// Publishing an unnamed copy: by its descriptor where the kernel allows it,
// through /proc/self/fd where it does not (kernels before 6.10 refuse an
// unprivileged process with ENOENT). The two tests run in this order: the
// second leaves the /proc way chosen for the rest of the process.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "FileOps.h"
#include "Sys.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

// A kernel that refuses links by descriptor, or a folder that vanishes just
// before the link.
class OldKernelSys : public Sys {
  public:
    int linkFd(int fd, int toDir, const char* to) override {
        ++byFd;
        if (!refuse) return Sys::linkFd(fd, toDir, to);
        if (removeFolder) std::filesystem::remove_all(removeFolder);
        errno = ENOENT;
        return -1;
    }
    int linkAt(int fromDir, const char* from, int toDir, const char* to, int flags) override {
        ++byPath;
        return Sys::linkAt(fromDir, from, toDir, to, flags);
    }
    bool refuse = true;
    int byFd = 0;
    int byPath = 0;
    const char* removeFolder = nullptr;
};

TEST(LinkFallbackTest, AFolderThatWentIsAFailureNotARefusal) {
    test::TempDir dir;
    test::WriteFile(dir / "a.txt", "data");
    const std::string out = dir / "out";
    test::MakeDir(out);
    OldKernelSys sys;
    sys.removeFolder = out.c_str();
    {
        ScopedSys scoped(sys);
        EXPECT_EQ(CopyFileSafe(dir / "a.txt", out + "/a.txt", Publish::Keep), ENOENT);
    }
    EXPECT_EQ(sys.byFd, 1);
    EXPECT_EQ(sys.byPath, 1);

    // The descriptor way is still the first choice.
    test::MakeDir(out);
    sys.refuse = false;
    {
        ScopedSys scoped(sys);
        EXPECT_EQ(CopyFileSafe(dir / "a.txt", out + "/a.txt", Publish::Keep), 0);
    }
    EXPECT_EQ(sys.byFd, 2);
    EXPECT_EQ(sys.byPath, 1);
    EXPECT_EQ(test::ReadFile(out + "/a.txt"), "data");
}

TEST(LinkFallbackTest, ARefusalSwitchesToProcForGood) {
    test::TempDir dir;
    test::WriteFile(dir / "a.txt", "data");
    test::MakeDir(dir / "out");
    OldKernelSys sys;
    {
        ScopedSys scoped(sys);
        EXPECT_EQ(CopyFileSafe(dir / "a.txt", dir / "out/a.txt", Publish::Keep), 0);
        EXPECT_EQ(CopyFileSafe(dir / "a.txt", dir / "out/b.txt", Publish::Keep), 0);
        // Replacing links to a hidden name first, the same way.
        EXPECT_EQ(CopyFileSafe(dir / "a.txt", dir / "out/b.txt", Publish::Replace), 0);
    }
    EXPECT_EQ(sys.byFd, 1);  // asked once, then never again
    EXPECT_EQ(sys.byPath, 4);
    EXPECT_EQ(test::ReadFile(dir / "out/a.txt"), "data");
    EXPECT_EQ(test::ReadFile(dir / "out/b.txt"), "data");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "out"),
                            std::filesystem::directory_iterator()),
              2);
}

}  // namespace
}  // namespace zanfeld
