#include "PicSize.h"

#include <QIODevice>
#include <QImageReader>
#include <QSize>
#include <cstdint>

#include "PictureFile.h"
#include "PictureView.h"
#include "SizePieces.h"

namespace zanfeld {

namespace {

// The view as a random-access device for Qt's readers. Unbuffered, so that a
// reader that jumps about (TIFF) spends the read budget on the bytes it asks
// for, not on read-ahead.
class ViewDevice final : public QIODevice {
  public:
    explicit ViewDevice(PictureView& view) : m_view(view) {}

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_view.size(); }
    bool seek(qint64 pos) override {
        if (pos < 0 || !QIODevice::seek(pos)) return false;
        m_pos = pos;
        return true;
    }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const int64_t n = m_view.read(m_pos, data, maxSize);
        if (n > 0) m_pos += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    PictureView& m_view;
    qint64 m_pos = 0;
};

}  // namespace

uint32_t GetPicSize(const std::string& path, PicDimension dimension) {
    // Opened by the native bytes, so that names that are not valid UTF-8 work
    // too; closed when file goes, before returning.
    PictureFile file;
    if (!file.open(path)) return 0;
    PictureView view(file, SizePieces(file));
    ViewDevice device(view);
    if (!device.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return 0;

    // The format comes from the content, never from the name; only the
    // header is read, and the stored size is taken as it is.
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoDetectImageFormat(true);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (size == QSize()) return 0;  // no readable picture

    // A top-down bitmap stores its height negated, and Qt's reader reports it
    // so; the picture is that many rows all the same.
    const int64_t value = dimension == PicDimension::Height ? size.height() : size.width();
    const int64_t magnitude = value < 0 ? -value : value;
    return magnitude > 0 && magnitude <= UINT32_MAX ? static_cast<uint32_t>(magnitude) : 0;
}

}  // namespace zanfeld
