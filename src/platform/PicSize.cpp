#include "PicSize.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QImageIOHandler>
#include <QImageReader>
#include <QSize>

namespace zanfeld {

uint32_t GetPicSize(const std::string& path, PicDimension dimension) {
    // Open by the native bytes so that names that are not valid UTF-8 work
    // too; O_NONBLOCK keeps a FIFO from blocking the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return 0;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return 0;
    }

    QSize size;
    {
        QFile file;
        if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);  // a failed open has not taken the descriptor
            return 0;
        }
        // The format comes from the content, never from the name; only the
        // header is read, and the stored size is taken as it is.
        QImageReader reader(&file);
        reader.setDecideFormatFromContent(true);
        reader.setAutoDetectImageFormat(true);
        reader.setAutoTransform(false);
        size = reader.size();
    }  // reader and file go here, closing the file

    const int value = dimension == PicDimension::Height ? size.height() : size.width();
    return value > 0 ? static_cast<uint32_t>(value) : 0;
}

}  // namespace zanfeld
