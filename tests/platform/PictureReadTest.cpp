// The reading under the picture size probe: a file read under a budget, the
// view that leaves metadata out, and which pieces of a picture are kept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "FaultySys.h"
#include "PicSize.h"
#include "PictureFile.h"
#include "PictureView.h"
#include "SizePieces.h"
#include "TempDir.h"
#include "TestPictures.h"

namespace zanfeld {
namespace {

using test::AfterIhdr;
using test::AfterSoi;
using test::JpegSegment;
using test::PngChunk;

std::string Bytes(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
    return s;
}

TEST(PictureFile, EveryByteReadCountsAgainstTheBudgetWhereverItLies) {
    test::TempDir tmp;
    const std::string content = Bytes(3 << 20);
    test::WriteFile(tmp / "big", content);
    PictureFile file(1000);
    ASSERT_TRUE(file.open(tmp / "big"));
    EXPECT_EQ(file.size(), int64_t{3 << 20});

    // Far into the file costs only what is read.
    char buf[2000];
    ASSERT_EQ(file.readAt((3 << 20) - 100, buf, 100), 100);
    EXPECT_EQ(std::string(buf, 100), content.substr((3 << 20) - 100));
    EXPECT_EQ(file.bytesRead(), 100);
    // A read across the budget gives what is left of it, then nothing more.
    ASSERT_EQ(file.readAt(5, buf, 2000), 900);
    EXPECT_EQ(std::string(buf, 900), content.substr(5, 900));
    EXPECT_EQ(file.readAt(0, buf, 1), -1);
    EXPECT_EQ(file.byteAt(4000), -1);
    EXPECT_EQ(file.bytesRead(), 1000);
}

TEST(PictureFile, TheEndOfTheFileIsNoError) {
    test::TempDir tmp;
    test::WriteFile(tmp / "small", "abc");
    PictureFile file;
    ASSERT_TRUE(file.open(tmp / "small"));
    char buf[10];
    EXPECT_EQ(file.readAt(1, buf, 10), 2);
    EXPECT_EQ(file.readAt(3, buf, 10), 0);
    EXPECT_EQ(file.readAt(100, buf, 10), 0);
    EXPECT_EQ(file.byteAt(2), 'c');
    EXPECT_EQ(file.byteAt(3), -1);
    EXPECT_EQ(file.readAt(-1, buf, 1), -1);
}

TEST(PictureFile, HeaderBytesComeThroughASmallWindow) {
    test::TempDir tmp;
    const std::string content = Bytes(100000);
    test::WriteFile(tmp / "f", content);
    test::FaultySys sys;
    ScopedSys scoped(sys);
    PictureFile file;
    ASSERT_TRUE(file.open(tmp / "f"));
    for (int i = 0; i < 200; ++i) ASSERT_EQ(file.byteAt(i), static_cast<unsigned char>(content[i]));
    EXPECT_EQ(sys.calls(test::SysOp::Read), 1);
    // A jump reads a small window there.
    EXPECT_EQ(file.byteAt(90000), static_cast<unsigned char>(content[90000]));
    EXPECT_EQ(sys.calls(test::SysOp::Read), 2);
    EXPECT_LE(file.bytesRead(), 512);
    // Going on from where a window ends, the windows grow (256 bytes, 512,
    // and so on up to 16 KiB): 100,000 bytes in 13 reads, not hundreds.
    sys.reset();
    for (int i = 0; i < 100000; ++i)
        ASSERT_EQ(file.byteAt(i), static_cast<unsigned char>(content[i])) << i;
    EXPECT_LE(sys.calls(test::SysOp::Read), 13);
    EXPECT_LE(file.bytesRead(), 512 + 100000 + 16384);
}

TEST(PictureFile, ReadErrorsAreReportedNotTakenForTheEnd) {
    test::TempDir tmp;
    test::WriteFile(tmp / "f", Bytes(1000));
    test::FaultySys sys;
    ScopedSys scoped(sys);
    PictureFile file;
    ASSERT_TRUE(file.open(tmp / "f"));
    sys.failOn(test::SysOp::Read, EIO);
    char buf[10];
    EXPECT_EQ(file.readAt(0, buf, 10), -1);
    EXPECT_EQ(file.byteAt(0), static_cast<unsigned char>(Bytes(1)[0]));  // the next read works
    sys.failOn(test::SysOp::Read, EINTR, 3);  // an interrupted read is made again
    EXPECT_EQ(file.readAt(500, buf, 10), 10);
}

TEST(PictureFile, OpensOnlyRegularFiles) {
    test::TempDir tmp;
    test::MakeDir(tmp / "dir");
    ASSERT_EQ(::mkfifo((tmp / "fifo").c_str(), 0600), 0);
    test::FaultySys sys;
    ScopedSys scoped(sys);
    for (const char* name : {"dir", "fifo", "missing"}) {
        PictureFile file;
        EXPECT_FALSE(file.open(tmp / name)) << name;
        char c;
        EXPECT_EQ(file.readAt(0, &c, 1), -1) << name;
    }
    EXPECT_EQ(sys.calls(test::SysOp::Open), 0);
}

TEST(PictureView, PiecesAreLaidEndToEnd) {
    test::TempDir tmp;
    test::WriteFile(tmp / "f", "0123456789");
    PictureFile file;
    ASSERT_TRUE(file.open(tmp / "f"));
    PictureView view(file, {{0, 2}, {5, 3}, {9, 1}});
    EXPECT_EQ(view.size(), 6);
    char buf[16];
    ASSERT_EQ(view.read(0, buf, 16), 6);
    EXPECT_EQ(std::string(buf, 6), "015679");
    ASSERT_EQ(view.read(1, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "156");
    ASSERT_EQ(view.read(4, buf, 16), 2);
    EXPECT_EQ(std::string(buf, 2), "79");
    EXPECT_EQ(view.read(6, buf, 16), 0);
    EXPECT_EQ(view.read(-1, buf, 1), -1);
}

TEST(PictureView, AReadCrossingTheBudgetGivesWhatWasReadThenFails) {
    test::TempDir tmp;
    test::WriteFile(tmp / "f", "0123456789");
    PictureFile file(4);
    ASSERT_TRUE(file.open(tmp / "f"));
    PictureView view(file, {{1, 2}, {6, 4}});
    char buf[16];
    ASSERT_EQ(view.read(0, buf, 16), 4);
    EXPECT_EQ(std::string(buf, 4), "1267");
    EXPECT_EQ(view.read(4, buf, 16), -1);
}

// What the readers see of the file at path.
std::string Seen(const std::string& path, size_t* pieces = nullptr) {
    PictureFile file;
    if (!file.open(path)) throw std::runtime_error("cannot open " + path);
    PictureView view(file, SizePieces(file));
    if (pieces) *pieces = view.pieces().size();
    std::string out(static_cast<size_t>(view.size()), '\0');
    if (view.read(0, out.data(), view.size()) != view.size()) throw std::runtime_error("short");
    return out;
}

class SizePiecesTest : public ::testing::Test {
  protected:
    std::string write(const std::string& name, const std::string& bytes) {
        test::WriteFile(m_tmp / name, bytes);
        return m_tmp / name;
    }
    test::TempDir m_tmp;
    const std::string m_jpeg = test::PictureBytes(64, 48, "jpg");
    const std::string m_png = test::PictureBytes(64, 48, "png");
};

TEST_F(SizePiecesTest, JpegMetadataIsLeftOutAndTheDecodersOwnMarkersStay) {
    const std::string app0 = JpegSegment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    const std::string app14 = JpegSegment(0xEE, std::string("Adobe\0\144\0\0\0\0\1", 12));
    const std::string meta = JpegSegment(0xE1, std::string("Exif\0\0", 6) + Bytes(3000)) +
                             JpegSegment(0xE2, Bytes(500)) + JpegSegment(0xED, Bytes(70)) +
                             JpegSegment(0xEF, "x") + JpegSegment(0xFE, "a comment");
    const std::string path = write("a.jpg", AfterSoi(m_jpeg, meta + app0 + meta + app14 + meta));
    EXPECT_EQ(Seen(path), AfterSoi(m_jpeg, app0 + app14));
    EXPECT_EQ(GetPicSize(path, PicDimension::Width), 64u);
}

TEST_F(SizePiecesTest, JpegWalkPassesOverWhatTheDecoderPassesOver) {
    const std::string com = JpegSegment(0xFE, "comment");
    const std::string app0 = JpegSegment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    // Stray bytes before a marker, fill bytes, 0xFF 0x00, restart markers and
    // a length below 2 (taken as no body) go with the metadata.
    const std::string noise = "junk" + com + "\xFF\xFF\xFF" + com +
                              std::string("\xFF\x00\xFF\xD3", 4) +
                              std::string("\xFF\xE1\x00\x01", 4) + "\x01\x02" + com;
    EXPECT_EQ(Seen(write("noise.jpg", AfterSoi(m_jpeg, noise + app0 + noise))),
              AfterSoi(m_jpeg, app0));
    // Stray bytes before a segment that stays, stay.
    EXPECT_EQ(Seen(write("stray.jpg", AfterSoi(m_jpeg, com + "junk" + app0))),
              AfterSoi(m_jpeg, "junk" + app0));
}

TEST_F(SizePiecesTest, JpegWalkStopsWhereTheDecoderStops) {
    const std::string com = JpegSegment(0xFE, "comment");
    // After the start of the scan nothing is left out.
    const std::string trailing = m_jpeg + com;
    EXPECT_EQ(Seen(write("scan.jpg", AfterSoi(trailing, com))), trailing);
    // At a second start marker or an end marker the decoder stops.
    for (const char* stop : {"\xFF\xD8", "\xFF\xD9"}) {
        const std::string tail = std::string(stop) + com + m_jpeg.substr(2);
        EXPECT_EQ(Seen(write("stop.jpg", m_jpeg.substr(0, 2) + com + tail)),
                  m_jpeg.substr(0, 2) + tail);
    }
    // A segment running past the end of the file.
    const std::string cut = AfterSoi(m_jpeg, com).substr(0, 8);
    EXPECT_EQ(Seen(write("cut.jpg", cut)), cut);
}

TEST_F(SizePiecesTest, ManySeparateGapsMakeABoundedPieceList) {
    // Comments between segments that stay: every comment is a gap of its own.
    const std::string app0 = JpegSegment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
    const auto interleaved = [&](int n) {
        std::string segments;
        for (int i = 0; i < n; ++i) segments += JpegSegment(0xFE, Bytes(10)) + app0;
        return AfterSoi(m_jpeg, segments);
    };
    size_t pieces = 0;
    const std::string some = write("some.jpg", interleaved(1000));
    EXPECT_EQ(Seen(some, &pieces).size(), m_jpeg.size() + 1000 * app0.size());
    EXPECT_EQ(pieces, 1001u);
    EXPECT_EQ(GetPicSize(some, PicDimension::Height), 48u);
    // Thousands are no picture.
    const std::string many = write("many.jpg", interleaved(5000));
    EXPECT_EQ(Seen(many, &pieces), "");
    EXPECT_EQ(pieces, 0u);
    EXPECT_EQ(GetPicSize(many, PicDimension::Height), 0u);
}

TEST_F(SizePiecesTest, PngAncillaryChunksAfterTheHeaderAreLeftOut) {
    const std::string chunks = PngChunk("tEXt", std::string("Title\0x", 7)) +
                               PngChunk("iTXt", Bytes(4000)) + PngChunk("eXIf", Bytes(300)) +
                               PngChunk("zzZz", Bytes(10));
    const std::string path = write("a.png", AfterIhdr(m_png, chunks));
    EXPECT_EQ(Seen(path), Seen(write("plain.png", m_png)));
    EXPECT_EQ(Seen(path).substr(0, 33), m_png.substr(0, 33));
    EXPECT_EQ(GetPicSize(path, PicDimension::Width), 64u);

    // Critical chunks stay: the palette of an indexed picture.
    QImage indexed(5, 4, QImage::Format_Indexed8);
    indexed.setColorCount(2);
    indexed.setColor(0, 0xff000000);
    indexed.setColor(1, 0xffffffff);
    indexed.fill(1);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(indexed.save(&buffer, "png"));
    const std::string palette(bytes.constData(), static_cast<size_t>(bytes.size()));
    ASSERT_NE(palette.find("PLTE"), std::string::npos);
    const std::string withText = write("palette.png", AfterIhdr(palette, chunks));
    EXPECT_NE(Seen(withText).find("PLTE"), std::string::npos);
    EXPECT_EQ(GetPicSize(withText, PicDimension::Width), 5u);
}

TEST_F(SizePiecesTest, PngWalkKeepsWhatTheReaderMustSee) {
    const std::string text = PngChunk("tEXt", std::string("Title\0x", 7));
    // A chunk before the header: the reader refuses the file, so it stays.
    const std::string first = m_png.substr(0, 8) + text + m_png.substr(8);
    EXPECT_EQ(Seen(write("first.png", first)), first);
    EXPECT_EQ(GetPicSize(m_tmp / "first.png", PicDimension::Width), 0u);
    // A chunk type that is no name.
    const std::string odd = AfterIhdr(m_png, text + PngChunk("t3Xt", "x") + text);
    EXPECT_EQ(Seen(write("odd.png", odd)), AfterIhdr(m_png, PngChunk("t3Xt", "x") + text));
    // A chunk the file cuts short: the reader would fail on it.
    const std::string cut = AfterIhdr(m_png, PngChunk("iTXt", Bytes(100))).substr(0, 33 + 60);
    EXPECT_EQ(Seen(write("cut.png", cut)), "");
    // Nothing after the first IDAT is looked at.
    const std::string after = m_png + text;
    EXPECT_EQ(Seen(write("after.png", AfterIhdr(after, text))), Seen(write("p.png", m_png)) + text);
}

TEST_F(SizePiecesTest, OtherFormatsAreSeenWhole) {
    for (const char* format : {"bmp", "tif"}) {
        const std::string bytes = test::PictureBytes(9, 7, format);
        EXPECT_EQ(Seen(write(std::string("p.") + format, bytes)), bytes) << format;
    }
    const std::string gif = test::GifBytes(5, 3);
    EXPECT_EQ(Seen(write("p.gif", gif)), gif);
}

}  // namespace
}  // namespace zanfeld
