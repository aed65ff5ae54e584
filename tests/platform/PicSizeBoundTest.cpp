// The picture size probe reads a bounded part of a file, whatever the file
// holds: metadata before the frame header is passed over without being read,
// memory stays small, and a header beyond the read budget gives 0.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "PicSize.h"
#include "PictureFile.h"
#include "Sys.h"
#include "TempDir.h"
#include "ProcessStatus.h"
#include "TestPictures.h"

namespace zanfeld {
namespace {

constexpr int64_t kBudget = PictureFile::kReadBudget;
constexpr long kMemoryLimitKb = 32 * 1024;

// What this process has read so far by read and pread calls, whatever made
// them (-1 where the kernel does not tell), and the length of the text that
// told it, whose reading the next count includes.
struct ReadCount {
    int64_t bytes = -1;
    int64_t told = 0;
};

ReadCount BytesReadByProcess() {
    ReadCount count;
    const int fd = ::open("/proc/self/io", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return count;
    char text[4096];
    ssize_t n;
    while ((n = ::read(fd, text + count.told, sizeof text - 1 - count.told)) > 0) count.told += n;
    ::close(fd);
    text[count.told] = '\0';
    if (const char* at = std::strstr(text, "rchar:")) count.bytes = std::atoll(at + 6);
    return count;
}

// Passes every call on and adds up the bytes read through the seam.
class ReadCountingSys : public Sys {
  public:
    ssize_t pread(int fd, void* buf, size_t count, off_t offset) override {
        const ssize_t n = Sys::pread(fd, buf, count, offset);
        if (n > 0) bytes += n;
        return n;
    }
    int64_t bytes = 0;
};

struct Probe {
    uint32_t width = 0;
    uint32_t height = 0;
    int64_t mostRead = 0;  // the most one probe read
};

// Loads Qt's format plugins, once, so that what is measured is the probe.
void LoadPlugins() {
    static const bool loaded = [] {
        test::TempDir warm;
        test::WritePicture(warm / "warm.png", 2, 2, "png");
        return GetPicSize(warm / "warm.png", PicDimension::Width) == 2;
    }();
    ASSERT_TRUE(loaded);
}

// Probes both sides and measures what each probe read, through the seam and
// as the kernel counts it (which also sees reads that go around the seam).
Probe ProbeCounting(const std::string& path) {
    LoadPlugins();
    Probe p;
    for (const PicDimension side : {PicDimension::Width, PicDimension::Height}) {
        ReadCountingSys counting;
        ScopedSys scoped(counting);
        const ReadCount before = BytesReadByProcess();
        const uint32_t value = GetPicSize(path, side);
        const ReadCount after = BytesReadByProcess();
        (side == PicDimension::Width ? p.width : p.height) = value;
        const int64_t byKernel =
            before.bytes >= 0 ? after.bytes - before.bytes - before.told : int64_t{0};
        p.mostRead = std::max({p.mostRead, counting.bytes, byKernel});
    }
    return p;
}

struct ChildProbe {
    uint32_t width;
    uint32_t height;
    long growthKb;  // peak resident size during the probes over the size before
    double seconds;
};

// Probes in a child process: its peak resident size starts from what the
// child has resident, so a higher peak earlier in this program (writing the
// test files) cannot hide the probe's.
ChildProbe ProbeInChild(const std::string& path) {
    LoadPlugins();

    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ChildProbe r{};
        const long before = test::StatusKb("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        r.width = GetPicSize(path, PicDimension::Width);
        r.height = GetPicSize(path, PicDimension::Height);
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        r.growthKb = test::StatusKb("VmHWM:") - before;
        const bool sent = ::write(fds[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
        ::_exit(sent && before > 0 ? 0 : 1);
    }
    ::close(fds[1]);
    ChildProbe r{};
    const ssize_t got = ::read(fds[0], &r, sizeof r);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got != static_cast<ssize_t>(sizeof r) || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the probing child failed");
    return r;
}

std::string Jpeg640x480() { return test::PictureBytes(640, 480, "jpg"); }

// Writes jpeg with `count` segments of marker and `body` bytes each put in
// after SOI, without holding the whole file in memory.
void WriteJpegWithSegments(const std::string& path, const std::string& jpeg,
                           const std::string& segment, int count) {
    std::ofstream out(path, std::ios::binary);
    out.write(jpeg.data(), 2);
    for (int i = 0; i < count; ++i) out.write(segment.data(), std::streamsize(segment.size()));
    out.write(jpeg.data() + 2, std::streamsize(jpeg.size() - 2));
    if (!out) throw std::runtime_error("cannot write " + path);
}

// An XMP-like body, filling a segment.
std::string Filler(const std::string& head, size_t size) {
    std::string body = head;
    for (size_t i = body.size(); i < size; ++i) body += static_cast<char>('a' + i % 26);
    return body;
}

TEST(PicSizeBound, JpegWithLargeMetadataGivesItsSizeReadingLittle) {
    // 64 MiB of metadata before the frame header: APP1 (EXIF, XMP), APP2
    // (ICC profiles) and comments, the segments Qt's reader keeps in memory.
    test::TempDir tmp;
    const std::string path = tmp / "metadata.jpg";
    const std::string segments =
        test::JpegSegment(0xE1, Filler(std::string("http://ns.adobe.com/xap/1.0/\0", 29), 65533)) +
        test::JpegSegment(0xE2, Filler(std::string("ICC_PROFILE\0", 12), 65533)) +
        test::JpegSegment(0xFE, Filler("comment ", 65533)) +
        test::JpegSegment(0xED, Filler("Photoshop 3.0", 65533));
    WriteJpegWithSegments(path, Jpeg640x480(), segments, 256);
    ASSERT_GT(std::filesystem::file_size(path), 64u << 20);

    const Probe p = ProbeCounting(path);
    EXPECT_EQ(p.width, 640u);
    EXPECT_EQ(p.height, 480u);
    EXPECT_LE(p.mostRead, kBudget);

    const ChildProbe c = ProbeInChild(path);
    EXPECT_EQ(c.width, 640u);
    EXPECT_EQ(c.height, 480u);
    EXPECT_LE(c.growthKb, kMemoryLimitKb);
    EXPECT_LT(c.seconds, 0.25);
}

TEST(PicSizeBound, JpegWithAFewHundredKibOfMetadata) {
    test::TempDir tmp;
    const std::string exif = test::JpegSegment(0xE1, Filler(std::string("Exif\0\0", 6), 60000));
    const std::string icc =
        test::JpegSegment(0xE2, Filler(std::string("ICC_PROFILE\0", 12), 65000));
    std::string segments = exif;
    for (int i = 0; i < 4; ++i) segments += icc;
    segments += test::JpegSegment(0xFE, Filler("comment", 30000));
    const std::string path = tmp / "some.jpg";
    test::WriteFile(path, test::AfterSoi(Jpeg640x480(), segments));
    ASSERT_GT(segments.size(), 300000u);

    const Probe p = ProbeCounting(path);
    EXPECT_EQ(p.width, 640u);
    EXPECT_EQ(p.height, 480u);
    // The bodies are passed over, not read.
    EXPECT_LT(p.mostRead, 64 * 1024);
}

TEST(PicSizeBound, MetadataBetweenTheTablesIsPassedOverToo) {
    // Qt writes SOI, APP0, DQT, SOF0, DHT, SOS: put metadata before SOF0 and
    // before SOS as well.
    const std::string jpeg = Jpeg640x480();
    const size_t sof = jpeg.find("\xFF\xC0");
    const size_t sos = jpeg.find("\xFF\xDA");
    ASSERT_NE(sof, std::string::npos);
    ASSERT_NE(sos, std::string::npos);
    ASSERT_LT(sof, sos);
    const std::string meta = test::JpegSegment(0xE1, Filler(std::string("Exif\0\0", 6), 65000)) +
                             test::JpegSegment(0xFE, Filler("c", 65000));
    std::string mixed =
        jpeg.substr(0, sof) + meta + meta + jpeg.substr(sof, sos - sof) + meta + jpeg.substr(sos);
    // Fill bytes before a marker are allowed and kept.
    mixed = test::AfterSoi(mixed, meta + "\xFF\xFF" + meta);
    test::TempDir tmp;
    test::WriteFile(tmp / "mixed.jpg", mixed);
    const Probe p = ProbeCounting(tmp / "mixed.jpg");
    EXPECT_EQ(p.width, 640u);
    EXPECT_EQ(p.height, 480u);
    EXPECT_LT(p.mostRead, 64 * 1024);
}

TEST(PicSizeBound, FrameHeaderBeyondTheBudgetGivesZero) {
    // Segments of no body at all: every byte before the frame header has to
    // be read to find it, and there are more of them than the budget.
    test::TempDir tmp;
    const std::string path = tmp / "far.jpg";
    const int count = static_cast<int>(kBudget / 4) + 20000;
    WriteJpegWithSegments(path, Jpeg640x480(), test::JpegSegment(0xE1, ""), count);

    const Probe p = ProbeCounting(path);
    EXPECT_EQ(p.width, 0u);
    EXPECT_EQ(p.height, 0u);
    EXPECT_LE(p.mostRead, kBudget);

    const ChildProbe c = ProbeInChild(path);
    EXPECT_EQ(c.width, 0u);
    EXPECT_LE(c.growthKb, kMemoryLimitKb);
    EXPECT_LT(c.seconds, 0.25);

    // Just inside the budget the size is found.
    const std::string near = tmp / "near.jpg";
    WriteJpegWithSegments(near, Jpeg640x480(), test::JpegSegment(0xE1, ""), 150000);
    EXPECT_EQ(ProbeCounting(near).width, 640u);
}

TEST(PicSizeBound, StrayBytesAmongTheMetadataDoNotEndThePassingOver) {
    // The decoder keeps every comment in a list that it appends to by walking
    // it, so a long run of comments reaching it costs it minutes. A stray byte
    // before a marker, which the decoder passes over, must not end the walk
    // that leaves them out.
    std::string segments;
    for (int i = 0; i < 120000; ++i) {
        if (i % 1000 == 999) segments += '\x42';
        segments += test::JpegSegment(0xFE, "");
    }
    test::TempDir tmp;
    const std::string path = tmp / "stray.jpg";
    test::WriteFile(path, test::AfterSoi(Jpeg640x480(), segments));
    const ChildProbe c = ProbeInChild(path);
    EXPECT_EQ(c.width, 640u);
    EXPECT_EQ(c.height, 480u);
    EXPECT_LT(c.seconds, 0.25);
}

TEST(PicSizeBound, PngWithLargeTextChunks) {
    // Text before the pixel data: plain, international and compressed text
    // that would inflate to 7 MB a chunk.
    const std::string png = test::PictureBytes(300, 200, "png");
    std::string chunks =
        test::PngChunk("tEXt", "Comment" + std::string(1, '\0') + Filler("", 2 << 20));
    const QByteArray packed = qCompress(QByteArray(7 << 20, 'z'), 9).mid(4);  // zlib stream
    const std::string bomb(packed.constData(), static_cast<size_t>(packed.size()));
    for (int i = 0; i < 60; ++i) {
        chunks += test::PngChunk("zTXt", "Comment" + std::string(2, '\0') + bomb);
        chunks += test::PngChunk(
            "iTXt", "XML:com.adobe.xmp" + std::string(5, '\0') + Filler("<x:xmpmeta/>", 4000));
    }
    test::TempDir tmp;
    const std::string path = tmp / "text.png";
    test::WriteFile(path, test::AfterIhdr(png, chunks));

    const Probe p = ProbeCounting(path);
    EXPECT_EQ(p.width, 300u);
    EXPECT_EQ(p.height, 200u);
    EXPECT_LT(p.mostRead, 64 * 1024);

    const ChildProbe c = ProbeInChild(path);
    EXPECT_EQ(c.width, 300u);
    EXPECT_LE(c.growthKb, kMemoryLimitKb);
}

TEST(PicSizeBound, AChunkClaimingMoreThanTheFileHoldsCostsNoMemory) {
    // A text chunk whose length says 235 MB, in a small file: the PNG reader
    // reserves room for all of it before it finds the file too short.
    const std::string png = test::PictureBytes(7, 5, "png");
    std::string claim = png.substr(0, 33) + test::BigEndian32(235000000) + "iTXt" +
                        "XML:com.adobe.xmp" + std::string(5, '\0') + Filler("<x:xmpmeta>", 100000);
    test::TempDir tmp;
    test::WriteFile(tmp / "claim.png", claim);
    const ChildProbe c = ProbeInChild(tmp / "claim.png");
    EXPECT_EQ(c.width, 0u);
    EXPECT_LE(c.growthKb, kMemoryLimitKb);
}

TEST(PicSizeBound, LargePicturesOfEveryFormatKeepTheirSize) {
    test::TempDir tmp;
    struct Case {
        const char* name;
        std::string bytes;
        uint32_t width, height;
    };
    // A camera-like JPEG: EXIF with an orientation tag and a thumbnail.
    const std::string tiffHeader(
        "MM\x00\x2a\x00\x00\x00\x08"
        "\x00\x01"
        "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x01\x00\x00"
        "\x00\x00\x00\x00",
        26);
    const std::string exif = std::string("Exif\0\0", 6) + tiffHeader +
                             test::PictureBytes(160, 120, "jpg") + std::string(20000, '\0');
    const Case cases[] = {
        {"camera.jpg",
         test::AfterSoi(test::PictureBytes(4000, 3000, "jpg"), test::JpegSegment(0xE1, exif)), 4000,
         3000},
        {"large.png", test::PictureBytes(4000, 3000, "png"), 4000, 3000},
        {"large.bmp", test::PictureBytes(2000, 1500, "bmp"), 2000, 1500},
        {"end.tif", test::TiffWithDirectoryAtEnd(3000, 2000), 3000, 2000},
        {"animated.gif", test::GifBytes(300, 200, 80), 300, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFile(tmp / c.name, c.bytes);
        const Probe p = ProbeCounting(tmp / c.name);
        EXPECT_EQ(p.width, c.width);
        EXPECT_EQ(p.height, c.height);
        EXPECT_LE(p.mostRead, kBudget);
    }
    EXPECT_GT(cases[3].bytes.size(), 5u << 20);
    EXPECT_GT(cases[4].bytes.size(), static_cast<size_t>(kBudget));
}

TEST(PicSizeBound, TiffDirectoryAtTheEndCostsOnlyWhatIsRead) {
    // The budget limits what is read, not where: the directory lies 24 MB in.
    test::TempDir tmp;
    test::WriteFile(tmp / "end.tif", test::TiffWithDirectoryAtEnd(6000, 4000));
    const Probe p = ProbeCounting(tmp / "end.tif");
    EXPECT_EQ(p.width, 6000u);
    EXPECT_EQ(p.height, 4000u);
    EXPECT_LT(p.mostRead, 16 * 1024);
}

}  // namespace
}  // namespace zanfeld
