#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <future>
#include <ostream>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "HandMadePictures.h"
#include "PicSize.h"
#include "TempDir.h"
#include "TestPictures.h"

namespace zanfeld {
namespace {

struct Size {
    uint32_t width;
    uint32_t height;
    bool operator==(const Size&) const = default;
};

void PrintTo(const Size& s, std::ostream* os) { *os << s.width << "x" << s.height; }

Size Measure(const std::string& path) {
    return {GetPicSize(path, PicDimension::Width), GetPicSize(path, PicDimension::Height)};
}

int OpenDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

class PicSizeFormats : public ::testing::TestWithParam<const char*> {};

TEST_P(PicSizeFormats, ReadsWidthAndHeight) {
    test::TempDir tmp;
    const std::string path = tmp / (std::string("pic.") + GetParam());
    test::WritePicture(path, 37, 23, GetParam());
    EXPECT_EQ(Measure(path), (Size{37, 23}));
}

INSTANTIATE_TEST_SUITE_P(QtWritten, PicSizeFormats, ::testing::Values("png", "jpg", "bmp", "tif"));

TEST(PicSize, ATopDownBmpHasItsRowsAsItsHeight) {
    test::TempDir tmp;
    // Rows from the top down, as screen-capture tools often write them.
    test::WriteFile(tmp / "shot.bmp", test::BmpBytes(64, 48, true, true));
    EXPECT_EQ(Measure(tmp / "shot.bmp"), (Size{64, 48}));
}

TEST(PicSize, ReadsAGifWrittenByteByByte) {
    test::TempDir tmp;
    test::WriteFile(tmp / "pic.gif", test::GifBytes(5, 3));
    EXPECT_EQ(Measure(tmp / "pic.gif"), (Size{5, 3}));
}

TEST(PicSize, FormatComesFromTheContentNotTheName) {
    test::TempDir tmp;
    test::WritePicture(tmp / "png.jpg", 40, 10, "png");
    test::WritePicture(tmp / "bmp.png", 11, 41, "bmp");
    test::WriteFile(tmp / "gif.tif", test::GifBytes(7, 2));
    test::WritePicture(tmp / "noextension", 12, 13, "jpg");
    EXPECT_EQ(Measure(tmp / "png.jpg"), (Size{40, 10}));
    EXPECT_EQ(Measure(tmp / "bmp.png"), (Size{11, 41}));
    EXPECT_EQ(Measure(tmp / "gif.tif"), (Size{7, 2}));
    EXPECT_EQ(Measure(tmp / "noextension"), (Size{12, 13}));
}

TEST(PicSize, NoReadablePictureGivesZero) {
    test::TempDir tmp;
    test::WriteFile(tmp / "text.jpg", "this is plain text, not a picture\n");
    test::WriteFile(tmp / "empty.png", "");
    test::WriteFile(tmp / "signature.png", test::PictureBytes(8, 8, "png").substr(0, 8));
    test::MakeDir(tmp / "folder.png");
    ASSERT_EQ(::mkfifo((tmp / "fifo.jpg").c_str(), 0644), 0);
    for (const char* name :
         {"text.jpg", "empty.png", "signature.png", "folder.png", "fifo.jpg", "missing.png"}) {
        EXPECT_EQ(Measure(tmp / name), (Size{0, 0})) << name;
    }
}

TEST(PicSize, NamesThatAreNotUtf8) {
    test::TempDir tmp;
    const std::string path = tmp / "bild\xFF\xFE\xE4.png";
    test::WritePicture(path, 19, 17, "png");
    EXPECT_EQ(Measure(path), (Size{19, 17}));
}

TEST(PicSize, StoredSizeIgnoresTheExifOrientation) {
    // A 30 x 20 JPEG whose EXIF tag says "rotate 90 degrees to display".
    const std::string jpeg = test::PictureBytes(30, 20, "jpg");
    const std::string tiff(
        "MM\x00\x2a\x00\x00\x00\x08"                        // header, IFD at 8
        "\x00\x01"                                          // one entry
        "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00"  // Orientation = 6
        "\x00\x00\x00\x00",
        26);
    const std::string body = std::string("Exif\0\0", 6) + tiff;
    std::string app1 = "\xFF\xE1";
    app1 += static_cast<char>((body.size() + 2) >> 8);
    app1 += static_cast<char>((body.size() + 2) & 0xff);
    app1 += body;
    test::TempDir tmp;
    test::WriteFile(tmp / "turned.jpg", jpeg.substr(0, 2) + app1 + jpeg.substr(2));
    EXPECT_EQ(Measure(tmp / "turned.jpg"), (Size{30, 20}));
}

TEST(PicSize, FollowsSymlinks) {
    test::TempDir tmp;
    test::WritePicture(tmp / "real.png", 9, 4, "png");
    ASSERT_EQ(::symlink((tmp / "real.png").c_str(), (tmp / "link.png").c_str()), 0);
    EXPECT_EQ(Measure(tmp / "link.png"), (Size{9, 4}));
}

TEST(PicSize, FileIsClosedOnReturnAndCanBeMovedAtOnce) {
    test::TempDir tmp;
    test::TempDir shm("/dev/shm");
    for (const char* format : {"png", "jpg", "bmp", "tif"}) {
        const std::string path = tmp / (std::string("pic.") + format);
        test::WritePicture(path, 21, 22, format);
        const int before = OpenDescriptors();
        EXPECT_EQ(GetPicSize(path, PicDimension::Width), 21u) << format;
        EXPECT_EQ(OpenDescriptors(), before) << format;

        const std::string moved = tmp / (std::string("moved.") + format);
        ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
        EXPECT_EQ(GetPicSize(moved, PicDimension::Height), 22u) << format;
        EXPECT_EQ(OpenDescriptors(), before) << format;
        // Across file systems: copy, then remove the source.
        std::filesystem::copy_file(moved, shm / (std::string("pic.") + format));
        EXPECT_TRUE(std::filesystem::remove(moved));
        EXPECT_EQ(Measure(shm / (std::string("pic.") + format)), (Size{21, 22}));
    }
    const int before = OpenDescriptors();
    EXPECT_EQ(GetPicSize(tmp / "missing.png", PicDimension::Width), 0u);
    test::WriteFile(tmp / "text.jpg", "text");
    EXPECT_EQ(GetPicSize(tmp / "text.jpg", PicDimension::Width), 0u);
    EXPECT_EQ(OpenDescriptors(), before);
}

// ---- what is opened --------------------------------------------------------

// Probes path on another thread and fails the test if the probe has not
// returned within a few seconds (a FIFO opened for reading waits for a
// writer); such a probe is then let go by opening the FIFO for writing.
Size MeasureWithoutBlocking(const std::string& path) {
    auto probe = std::async(std::launch::async, [&] { return Measure(path); });
    if (probe.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "the probe of " << path << " blocked";
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) ::close(fd);
    }
    return probe.get();
}

// The names in a folder opened while it is watched, by whatever means: the
// kernel reports every open, including those of FIFOs and devices.
class OpenWatch {
  public:
    explicit OpenWatch(const std::string& dir) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (m_fd < 0 || ::inotify_add_watch(m_fd, dir.c_str(), IN_OPEN) < 0)
            throw std::runtime_error("cannot watch " + dir);
    }
    ~OpenWatch() { ::close(m_fd); }

    std::vector<std::string> opened() {
        std::vector<std::string> names;
        alignas(inotify_event) char buf[4096];
        ssize_t n;
        while ((n = ::read(m_fd, buf, sizeof buf)) > 0) {
            for (char* p = buf; p < buf + n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(p);
                if (e->len > 0) names.emplace_back(e->name);
                p += sizeof(inotify_event) + e->len;
            }
        }
        return names;
    }

  private:
    int m_fd;
};

using Names = std::vector<std::string>;

class PicSizeOpen : public ::testing::Test {
  protected:
    // Measures with the counting Sys in force.
    Size measure(const std::string& path) {
        ScopedSys scoped(m_sys);
        return MeasureWithoutBlocking(path);
    }
    test::TempDir m_tmp;
    test::FaultySys m_sys;
    OpenWatch m_watch{m_tmp.path()};
};

TEST_F(PicSizeOpen, AFifoIsNeverOpened) {
    ASSERT_EQ(::mkfifo((m_tmp / "fifo.png").c_str(), 0644), 0);
    ASSERT_EQ(::symlink((m_tmp / "fifo.png").c_str(), (m_tmp / "link.png").c_str()), 0);
    EXPECT_EQ(measure(m_tmp / "fifo.png"), (Size{0, 0}));
    EXPECT_EQ(measure(m_tmp / "link.png"), (Size{0, 0}));
    EXPECT_EQ(m_sys.calls(test::SysOp::Open), 0);
    EXPECT_EQ(m_watch.opened(), Names{});
}

TEST_F(PicSizeOpen, ASocketIsNeverOpened) {
    const std::string path = m_tmp / "socket.jpg";
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(s, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(measure(path), (Size{0, 0}));
    EXPECT_EQ(m_sys.calls(test::SysOp::Open), 0);
    EXPECT_EQ(m_watch.opened(), Names{});
    ::close(s);
}

TEST_F(PicSizeOpen, ADeviceNodeIsNeverOpened) {
    // A character device like /dev/zero (1, 5): opened and read, it would
    // give zeros without end.
    const std::string path = m_tmp / "device.bmp";
    if (::mknod(path.c_str(), S_IFCHR | 0644, ::makedev(1, 5)) != 0)
        GTEST_SKIP() << "mknod refused here: " << std::strerror(errno);
    ASSERT_EQ(::symlink(path.c_str(), (m_tmp / "link.bmp").c_str()), 0);
    EXPECT_EQ(measure(path), (Size{0, 0}));
    EXPECT_EQ(measure(m_tmp / "link.bmp"), (Size{0, 0}));
    EXPECT_EQ(m_sys.calls(test::SysOp::Open), 0);
    EXPECT_EQ(m_watch.opened(), Names{});
}

TEST_F(PicSizeOpen, LinksToPicturesAreFollowed) {
    test::WritePicture(m_tmp / "real.jpg", 33, 44, "jpg");
    ASSERT_EQ(::symlink("real.jpg", (m_tmp / "one.jpg").c_str()), 0);
    ASSERT_EQ(::symlink((m_tmp / "one.jpg").c_str(), (m_tmp / "two.jpg").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere.jpg", (m_tmp / "dangling.jpg").c_str()), 0);
    EXPECT_EQ(measure(m_tmp / "one.jpg"), (Size{33, 44}));
    EXPECT_EQ(measure(m_tmp / "two.jpg"), (Size{33, 44}));
    EXPECT_EQ(measure(m_tmp / "dangling.jpg"), (Size{0, 0}));
    // The watch does see opens: the picture behind the links (the kernel
    // merges the same event repeated).
    (void)m_watch.opened();  // what came before
    EXPECT_EQ(measure(m_tmp / "two.jpg"), (Size{33, 44}));
    EXPECT_EQ(m_watch.opened(), Names{"real.jpg"});
}

TEST_F(PicSizeOpen, ANameSwappedBetweenTheLookAndTheOpenGivesZero) {
    const std::string path = m_tmp / "pic.png";
    test::WritePicture(path, 30, 10, "png");
    test::WritePicture(m_tmp / "other.png", 70, 90, "png");
    // Another picture put in its place: not the file that was looked at.
    m_sys.beforeCall(test::SysOp::Open, [&] {
        ASSERT_EQ(std::rename((m_tmp / "other.png").c_str(), path.c_str()), 0);
    });
    {
        ScopedSys scoped(m_sys);
        EXPECT_EQ(GetPicSize(path, PicDimension::Width), 0u);
    }
    // A FIFO put in its place is opened without waiting, then turned down.
    m_sys.reset();
    m_sys.beforeCall(test::SysOp::Open, [&] {
        ASSERT_EQ(::unlink(path.c_str()), 0);
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    });
    test::WritePicture(path, 30, 10, "png");
    {
        ScopedSys scoped(m_sys);
        EXPECT_EQ(MeasureWithoutBlocking(path).width, 0u);
    }
    // Unchanged, the same steps give the size.
    m_sys.reset();
    ASSERT_EQ(::unlink(path.c_str()), 0);
    test::WritePicture(path, 30, 10, "png");
    EXPECT_EQ(measure(path), (Size{30, 10}));
    EXPECT_EQ(m_sys.calls(test::SysOp::Stat), 2);
    EXPECT_EQ(m_sys.calls(test::SysOp::Open), 2);
    EXPECT_EQ(m_sys.calls(test::SysOp::Fstat), 2);
}

TEST_F(PicSizeOpen, AReadErrorGivesZeroAndClosesTheFile) {
    test::WritePicture(m_tmp / "pic.tif", 12, 8, "tif");
    const int before = OpenDescriptors();
    m_sys.failOn(test::SysOp::Read, EIO, 0);
    EXPECT_EQ(measure(m_tmp / "pic.tif"), (Size{0, 0}));
    EXPECT_GT(m_sys.calls(test::SysOp::Read), 0);
    EXPECT_EQ(m_sys.calls(test::SysOp::Close), m_sys.calls(test::SysOp::Open));
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace zanfeld
