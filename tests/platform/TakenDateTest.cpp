// Taken dates from pictures' metadata and movie headers: which record wins,
// which dates count as none, the time-zone rules, and what is read.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "NonRegularFiles.h"
#include "ScopedEnv.h"
#include "Sys.h"
#include "TakenDate.h"
#include "TakenSamples.h"
#include "TempDir.h"
#include "ProcessStatus.h"
#include "TestPictures.h"

namespace zanfeld {
namespace {

using test::ExifDates;
using test::ExifSegment;
using test::JpegWith;
using test::XmpPacket;
using test::XmpSegment;

std::string Text(const std::optional<LocalDateTime>& t) {
    if (!t) return "none";
    char s[32];
    std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour,
                  t->minute, t->second);
    return s;
}

std::string TakenOf(const std::string& bytes, const char* name = "f") {
    test::TempDir tmp;
    test::WriteFile(tmp / name, bytes);
    return Text(ReadTakenDate(tmp / name));
}

// Seconds since 1970 of a UTC moment.
int64_t Utc(int y, int mo, int d, int h, int mi, int s) {
    struct tm t {};
    t.tm_year = y - 1900, t.tm_mon = mo - 1, t.tm_mday = d, t.tm_hour = h, t.tm_min = mi,
    t.tm_sec = s;
    return static_cast<int64_t>(::timegm(&t));
}

// A zone for this test alone, in the POSIX form that needs no zone files.
class ScopedZone {
  public:
    explicit ScopedZone(const char* zone) : m_env(std::in_place, "TZ", zone) { ::tzset(); }
    ~ScopedZone() {
        m_env.reset();
        ::tzset();
    }

  private:
    std::optional<test::ScopedEnv> m_env;
};

struct Case {
    const char* what;
    std::string bytes;
    const char* expected;
};

TEST(TakenDate, EachRecordInItsOrderAndImpossibleDatesAreNone) {
    const ScopedZone zone("UTC0");
    const std::string real = "2024:05:06 12:34:56";
    const std::string xmpAll =
        XmpSegment(XmpPacket({{"exif:DateTimeOriginal", "2021-01-02T03:04:05+08:00"},
                              {"photoshop:DateCreated", "2022-02-03"},
                              {"xmp:CreateDate", "2023-03-04T05:06:07Z"}}));
    const std::string png = test::PictureBytes(8, 8, "png");
    const int64_t instant = Utc(2023, 7, 8, 9, 10, 11);
    const Case cases[] = {
        {"original before digitized and DateTime",
         JpegWith(ExifSegment({real, "2020:01:01 00:00:00", "2019:01:01 00:00:00"}) + xmpAll),
         "2024-05-06 12:34:56"},
        {"digitized when no original", JpegWith(ExifSegment({"", real})), "2024-05-06 12:34:56"},
        {"an editor's DateTime is no taken date", JpegWith(ExifSegment({"", "", real})), "none"},
        {"zeros fall through to the next record",
         JpegWith(ExifSegment({"0000:00:00 00:00:00", "2020:02:29 23:59:59"})),
         "2020-02-29 23:59:59"},
        {"blanks", JpegWith(ExifSegment({"    :  :     :  :  "})), "none"},
        {"30th of February", JpegWith(ExifSegment({"2023:02:30 10:00:00"})), "none"},
        {"month 13", JpegWith(ExifSegment({"2023:13:01 10:00:00"})), "none"},
        {"before 1900", JpegWith(ExifSegment({"1899:12:31 10:00:00"})), "none"},
        {"far ahead", JpegWith(ExifSegment({"2999:01:01 10:00:00"})), "none"},
        {"a large thumbnail", JpegWith(ExifSegment({real, "", "", "", 60000})),
         "2024-05-06 12:34:56"},
        {"XMP original, its zone not applied", JpegWith(xmpAll), "2021-01-02 03:04:05"},
        {"photoshop:DateCreated, a day alone",
         JpegWith(XmpSegment(XmpPacket({{"photoshop:DateCreated", "2022-02-03"},
                                        {"xmp:CreateDate", "2023-03-04T05:06:07"}}))),
         "2022-02-03 00:00:00"},
        {"xmp:CreateDate",
         JpegWith(XmpSegment(XmpPacket({{"xmp:CreateDate", "2023-03-04T05:06"}}))),
         "2023-03-04 05:06:00"},
        {"a JPEG Qt wrote", test::AfterSoi(test::PictureBytes(16, 16, "jpg"), ExifSegment({real})),
         "2024-05-06 12:34:56"},
        {"PNG eXIf", test::AfterIhdr(png, test::PngChunk("eXIf", test::ExifTiff({real}))),
         "2024-05-06 12:34:56"},
        {"compressed PNG text is not inflated",
         test::AfterIhdr(png,
                         test::PngChunk("zTXt", std::string("Raw profile type exif\0\0x", 24))),
         "none"},
        {"TIFF", test::ExifTiff({real}), "2024-05-06 12:34:56"},
        {"HEIC", test::HeicBytes(test::ExifTiff({real})), "2024-05-06 12:34:56"},
        {"AVIF", test::HeicBytes(test::ExifTiff({real}), "avif"), "2024-05-06 12:34:56"},
        {"MP4, movie header version 0 at the end", test::Mp4Bytes(0, test::MovieSeconds(instant)),
         "2023-07-08 09:10:11"},
        {"version 1, movie first", test::Mp4Bytes(1, test::MovieSeconds(instant), true),
         "2023-07-08 09:10:11"},
        {"QuickTime", test::Mp4Bytes(0, test::MovieSeconds(instant), false, "qt  "),
         "2023-07-08 09:10:11"},
        {"creation time 0", test::Mp4Bytes(1, 0), "none"},
        {"a movie box cut short", test::Mp4Bytes(0, test::MovieSeconds(instant)).substr(0, 4200),
         "none"},
        {"text", std::string(5000, 'x'), "none"},
    };
    for (const Case& c : cases) EXPECT_EQ(TakenOf(c.bytes), c.expected) << c.what;
}

TEST(TakenDate, ExifTimeIsAsWrittenAndMovieTimeIsUtcShownLocally) {
    const std::string photo = JpegWith(ExifSegment({"2024:05:06 23:30:00", "", "", "+08:00"}));
    // 2024-05-06 23:30 UTC: the next day in Shanghai, the same in New York.
    const std::string movie = test::Mp4Bytes(0, test::MovieSeconds(Utc(2024, 5, 6, 23, 30, 0)));
    const struct {
        const char* zone;
        const char* movie;
    } zones[] = {{"UTC0", "2024-05-06 23:30:00"},
                 {"CST-8", "2024-05-07 07:30:00"},
                 {"EST5EDT,M3.2.0,M11.1.0", "2024-05-06 19:30:00"}};
    for (const auto& z : zones) {
        const ScopedZone zone(z.zone);
        EXPECT_EQ(TakenOf(photo), "2024-05-06 23:30:00") << z.zone;
        EXPECT_EQ(TakenOf(movie), z.movie) << z.zone;
    }
}

// Adds up the bytes read through the seam and counts the files opened.
class CountingSys : public Sys {
  public:
    int open(const char* path, int flags, mode_t mode) override {
        ++opens;
        return Sys::open(path, flags, mode);
    }
    ssize_t pread(int fd, void* buf, size_t count, off_t offset) override {
        const ssize_t n = Sys::pread(fd, buf, count, offset);
        if (n > 0) bytes += n;
        return n;
    }
    int64_t bytes = 0;
    int opens = 0;
};

TEST(TakenDate, ReadsLittleAndOpensNothingButRegularFiles) {
    test::TempDir tmp;
    // A camera JPEG: the picture data after the metadata is not read.
    const std::string head = JpegWith(ExifSegment({"2024:05:06 12:34:56", "", "", "", 30000}));
    test::WriteFile(tmp / "big.jpg", head.substr(0, head.size() - 2) + std::string(20 << 20, 'p'));
    // A movie whose header lies behind a 3 GiB media box, in a sparse file.
    const int64_t created = Utc(2020, 1, 2, 3, 4, 5);
    const std::string ftyp = test::Mp4Bytes(0, 0).substr(0, 24);
    const int64_t moovAt = 24 + 16 + (3ll << 30);
    test::WriteFile(tmp / "long.mp4", ftyp + test::Big32Bytes(1) + "mdat" +
                                          test::Big64Bytes(static_cast<uint64_t>(moovAt - 24)));
    ASSERT_EQ(::truncate((tmp / "long.mp4").c_str(), moovAt), 0);
    {
        std::ofstream out(tmp / "long.mp4", std::ios::binary | std::ios::app);
        const std::string moov = test::Box("moov", test::Mvhd(0, test::MovieSeconds(created)));
        out.write(moov.data(), static_cast<std::streamsize>(moov.size()));
    }
    // A TIFF larger than the budget.
    test::WriteFile(tmp / "big.tif",
                    test::ExifTiff({"2024:05:06 12:34:56"}) + std::string(10 << 20, 't'));
    const struct {
        const char* name;
        int64_t most;
        bool dated;
    } files[] = {{"big.jpg", 128 << 10, true},
                 {"long.mp4", (64 + 4) << 10, true},
                 {"big.tif", kTakenReadBudget, true}};
    const ScopedZone zone("UTC0");
    for (const auto& f : files) {
        CountingSys counting;
        ScopedSys scoped(counting);
        EXPECT_EQ(ReadTakenDate(tmp / f.name).has_value(), f.dated) << f.name;
        EXPECT_LE(counting.bytes, f.most) << f.name;
        EXPECT_EQ(counting.opens, 1) << f.name;
    }

    // A link is not followed; a device, a pipe and a socket are never opened.
    ASSERT_EQ(::symlink((tmp / "big.jpg").c_str(), (tmp / "link.jpg").c_str()), 0);
    ASSERT_EQ(test::MakeFifo(tmp / "fifo.jpg"), 0);
    ASSERT_EQ(test::MakeSocketFile(tmp / "socket.jpg"), 0);
    const bool root = ::geteuid() == 0;
    if (root) ASSERT_EQ(test::MakeNullDevice(tmp / "null.jpg"), 0);
    for (const char* name : {"link.jpg", "fifo.jpg", "socket.jpg", "null.jpg", "missing.jpg", ""}) {
        if (std::string(name) == "null.jpg" && !root) continue;
        CountingSys counting;
        ScopedSys scoped(counting);
        EXPECT_FALSE(ReadTakenDate(tmp / name)) << name;
        EXPECT_EQ(counting.opens, 0) << name;
    }
}

// Reads in a child process, whose peak resident size starts from its own.
long GrowthKbOfReading(const std::string& path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const long before = test::StatusKb("VmRSS:");
        (void)ReadTakenDate(path);
        const long growth = test::StatusKb("VmHWM:") - before;
        ::_exit(before > 0 ? static_cast<int>(std::min(growth / 1024, 250L)) : 255);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) * 1024L : -1;
}

TEST(TakenDate, AnXmpPacketOfTheWholeBudgetStaysSmallInMemory) {
    // A TIFF whose XMP tag holds 4 MiB of many elements, or of one text.
    auto tiffWithXmp = [](const std::string& packet) {
        std::string t("II*\0\x08\0\0\0\x01\0\xbc\x02\x01\0", 14);
        t += std::string{static_cast<char>(packet.size()), static_cast<char>(packet.size() >> 8),
                         static_cast<char>(packet.size() >> 16), 0};
        return t + std::string("\x1a\0\0\0\0\0\0\0", 8) + packet;
    };
    test::TempDir tmp;
    for (const char* item : {"<rdf:li>a</rdf:li>", "x"}) {
        std::string packet = XmpPacket({{"exif:DateTimeOriginal", "2020-01-01T00:00:00"}});
        packet.insert(packet.find("/>"), "><rdf:Bag>");
        while (packet.size() < (4 << 20) - 100) packet.insert(packet.size() - 60, item);
        test::WriteFile(tmp / "x.tif", tiffWithXmp(packet));
        const long growth = GrowthKbOfReading(tmp / "x.tif");
        EXPECT_GE(growth, 0) << item;
        EXPECT_LT(growth, 32 * 1024) << item;
    }
}

}  // namespace
}  // namespace zanfeld
