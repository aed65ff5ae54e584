// The picture size probe against decoding the whole picture.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QString>
#include <algorithm>

#include "Bench.h"
#include "PicSize.h"

namespace zanfeld::bench {

namespace {

// A picture with some structure, so that neither format compresses it to nothing.
std::string EncodedPicture(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            line[x] = qRgb(x * 255 / width, y * 255 / height, ((x / 7) ^ (y / 5)) & 0xff);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) Fail(std::string("cannot encode a picture as ") + format);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

FigureResult PictureProbeFigure(const BenchOptions& o) {
    FigureResult r;
    r.key = "picture-probe";
    const int rounds = std::max(1, std::min(o.pictureRounds, o.pictures));
    r.work = "GetPicSize of " + std::to_string(o.pictures) + " pictures of " +
             std::to_string(o.pictureWidth) + " × " + std::to_string(o.pictureHeight) +
             " (JPEG, PNG), in " + std::to_string(rounds) + " rounds";
    r.baseline = "full decode with QImage::load";
    r.target = "≤ 0.05";
    r.limit = 0.05;

    Scratch scratch(o.dir);
    const std::string jpeg = EncodedPicture(o.pictureWidth, o.pictureHeight, "jpg");
    const std::string png = EncodedPicture(o.pictureWidth, o.pictureHeight, "png");
    std::vector<std::string> paths;
    for (int i = 0; i < o.pictures; ++i) {
        const bool isJpeg = i % 2 == 0;
        const std::string path =
            scratch.path() + "/picture-" + std::to_string(i) + (isJpeg ? ".jpg" : ".png");
        WriteBytes(path, isJpeg ? jpeg : png);
        paths.push_back(path);
    }
    SyncFs(scratch.path());
    const auto expectedWidth = static_cast<uint32_t>(o.pictureWidth);

    // A full decode of a picture this large takes a good part of a second, so
    // each round takes its own share of the pictures: every picture is probed
    // and decoded once, and the rounds still show the spread.
    std::vector<std::string> share;
    Alternate(
        rounds,
        [&](int round) {
            share.clear();
            for (size_t i = static_cast<size_t>(round); i < paths.size();
                 i += static_cast<size_t>(rounds))
                share.push_back(paths[i]);
        },
        [&] {
            const Stopwatch clock;
            for (const std::string& path : share) {
                if (GetPicSize(path, PicDimension::Width) != expectedWidth)
                    Fail("GetPicSize misread " + path);
            }
            return clock.stop();
        },
        [&] {
            const Stopwatch clock;
            for (const std::string& path : share) {
                QImage image;
                if (!image.load(QString::fromStdString(path)) || image.width() != o.pictureWidth)
                    Fail("QImage cannot load " + path);
            }
            return clock.stop();
        },
        [](int) {}, r);
    return r;
}

}  // namespace zanfeld::bench
