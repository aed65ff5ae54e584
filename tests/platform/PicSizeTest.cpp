#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

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

}  // namespace
}  // namespace zanfeld
