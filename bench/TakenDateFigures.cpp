// Taken dates: reading them against the picture size probe (and exiftool
// when it is installed), and a sort by them against the copy sort by type.

#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <fstream>

#include "Bench.h"
#include "PicSize.h"
#include "RunFileSort.h"
#include "SortTree.h"
#include "TakenDate.h"
#include "TakenSamples.h"

namespace zanfeld::bench {

namespace {

constexpr int kJpegs = 1000;
constexpr int kMovies = 100;

// A camera's JPEG as far as the readers go: EXIF with a thumbnail-sized
// block, and a small picture Qt wrote whose frame header claims width x
// height (the pixel data is never read by either).
std::string CameraJpeg(int width, int height, int day) {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(0xff8040c0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "jpg").write(image)) Fail("cannot encode a JPEG");
    std::string jpeg(bytes.constData(), static_cast<size_t>(bytes.size()));
    // The baseline frame header: FF C0, length, precision, height, width.
    const size_t sof = jpeg.find("\xFF\xC0");
    if (sof == std::string::npos) Fail("Qt's JPEG has no baseline frame header");
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xff);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xff);
    char date[32];
    std::snprintf(date, sizeof date, "2024:%02d:%02d 12:34:56", 1 + day % 12, 1 + day % 28);
    return jpeg.substr(0, 2) + test::ExifSegment({date, date, date, "+08:00", 24000}) +
           jpeg.substr(2);
}

std::string Written(const std::string& path, const std::string& bytes) {
    WriteBytes(path, bytes);
    return path;
}

}  // namespace

std::vector<FigureResult> TakenDateFigures(const BenchOptions& o) {
    std::vector<FigureResult> rows;
    Scratch scratch(o.dir);
    std::vector<std::string> jpegs, movies;
    MakeDir(scratch.path() + "/read");
    for (int i = 0; i < kJpegs; ++i)
        jpegs.push_back(Written(scratch.path() + "/read/DSC" + std::to_string(10000 + i) + ".JPG",
                                CameraJpeg(o.pictureWidth, o.pictureHeight, i)));
    for (int i = 0; i < kMovies; ++i) {
        // 1 MiB of media before the movie box, as a camera writes it.
        std::string mp4 = test::Mp4Bytes(i % 2, test::MovieSeconds(1'700'000'000 + i * 86400));
        const size_t moov = mp4.rfind("moov") - 4;
        mp4.insert(moov, test::Box("free", std::string(1 << 20, '\0')));
        movies.push_back(Written(scratch.path() + "/read/MOV" + std::to_string(i) + ".MP4", mp4));
    }
    SyncFs(scratch.path());

    FigureResult read;
    read.key = "taken-read";
    read.work = Grouped(kJpegs) + " camera JPEGs (" + std::to_string(o.pictureWidth) + " × " +
                std::to_string(o.pictureHeight) + ", EXIF) and " + std::to_string(kMovies) +
                " MP4s: ReadTakenDate";
    read.baseline = "GetPicSize of the same JPEGs";
    read.target = "≤ 3";
    read.limit = 3;
    Alternate(
        o.rounds, [](int) {},
        [&] {
            const Stopwatch clock;
            for (const std::string& path : jpegs)
                if (!ReadTakenDate(path)) Fail("no taken date in " + path);
            for (const std::string& path : movies)
                if (!ReadTakenDate(path)) Fail("no taken date in " + path);
            return clock.stop();
        },
        [&] {
            const Stopwatch clock;
            for (const std::string& path : jpegs)
                if (GetPicSize(path, PicDimension::Width) != static_cast<uint32_t>(o.pictureWidth))
                    Fail("GetPicSize misread " + path);
            return clock.stop();
        },
        [](int) {}, read);
    rows.push_back(read);

    // exiftool reads the same files in one batch, as it is best used.
    if (::system("exiftool -ver >/dev/null 2>&1") == 0) {
        FigureResult tool;
        tool.key = "taken-read-exiftool";
        tool.work = read.work;
        tool.baseline = "exiftool -fast2 -DateTimeOriginal, one batch";
        tool.target = "≤ 0.1";
        tool.limit = 0.1;
        const std::string list = scratch.path() + "/files.txt";
        {
            std::ofstream out(list);
            for (const auto* set : {&jpegs, &movies})
                for (const std::string& path : *set) out << path << '\n';
        }
        const std::string command = "exiftool -q -fast2 -DateTimeOriginal -CreateDate -s3 -@ '" +
                                    list + "' >/dev/null 2>&1";
        Alternate(
            o.rounds, [](int) {},
            [&] {
                const Stopwatch clock;
                for (const auto* set : {&jpegs, &movies})
                    for (const std::string& path : *set) ReadTakenDate(path);
                return clock.stop();
            },
            [&] {
                const Stopwatch clock(CpuOf::Process);
                if (::system(command.c_str()) != 0) Fail("exiftool failed");
                return clock.stop();
            },
            [](int) {}, tool);
        rows.push_back(tool);
    } else {
        rows.back().note = "exiftool is not installed: the comparison with it is skipped";
    }

    // The sort: small JPEGs by the day they were taken, against the copy
    // sort of the same files into folders by type.
    FigureResult sort;
    sort.key = "taken-sort";
    sort.work = Grouped(o.sortFiles) + " small JPEGs with EXIF, page TakenDate (year/month), Copy";
    sort.baseline = "the copy sort of the same files, page FileType";
    sort.target = "≤ 1.6";
    sort.limit = 1.6;
    std::vector<std::string> sources;
    const std::string src = scratch.path() + "/src";
    MakeDir(src);
    for (int f = 0; f < std::max(1, o.sortFiles / 1000); ++f)
        MakeDir(src + "/s" + std::to_string(f));
    for (int i = 0; i < o.sortFiles; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "20%02d:%02d:%02d 10:00:00", 10 + i % 14, 1 + i % 12,
                      1 + i % 28);
        const std::string bytes = test::JpegWith(test::ExifSegment({date}), 640, 480) +
                                  std::string(static_cast<size_t>(o.fileSize), '\x33');
        sources.push_back(Written(src + "/s" + std::to_string(i % std::max(1, o.sortFiles / 1000)) +
                                      "/IMG" + std::to_string(i) + ".jpg",
                                  bytes));
    }
    SyncFs(src);
    auto options = [&](int round, SortPage page) {
        SortOptions s;
        s.page = page;
        s.outputDir = scratch.path() + "/r" + std::to_string(round) +
                      (page == SortPage::FileType ? "/type/" : "/taken/");
        MakeDir(scratch.path() + "/r" + std::to_string(round));
        MakeDir(s.outputDir);
        s.transferMode = TransferMode::Copy;
        s.sameFilePolicy = SameFilePolicy::Rename;
        s.typeFilter = TypeFilterMode::None;
        for (const char* type : kTakenTypes) s.takenPatterns.push_back(type);
        return s;
    };
    SortOptions takenOptions, typeOptions;
    auto run = [&](const SortOptions& s) {
        SyncFs(s.outputDir);
        NullHost host;
        const Stopwatch clock;
        RunFileSort(s, sources, host);
        const double t = clock.stop();
        if (host.last != kCompletion) Fail("the engine ended with: " + host.last);
        if (CountFiles(s.outputDir) != sources.size()) Fail("the sort left files out");
        return t;
    };
    Alternate(
        o.rounds,
        [&](int round) {
            takenOptions = options(round, SortPage::TakenDate);
            typeOptions = options(round, SortPage::FileType);
        },
        [&] { return run(takenOptions); }, [&] { return run(typeOptions); },
        [&](int round) { Discard(scratch.path() + "/r" + std::to_string(round)); }, sort);
    rows.push_back(sort);
    return rows;
}

}  // namespace zanfeld::bench
