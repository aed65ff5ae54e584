// The one file that includes Exiv2: its headers use std::auto_ptr, so this
// file alone is compiled without deprecation warnings.
#include "ImageMetadata.h"

#include <climits>
#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>
#include <mutex>
#include <string>

#include "TakenTime.h"

namespace zanfeld {

namespace {

std::mutex g_xmpMutex;

void LockXmp(void*, bool lock) {
    if (lock)
        g_xmpMutex.lock();
    else
        g_xmpMutex.unlock();
}

// Exiv2's set-up is not thread-safe: it runs when the program starts, before
// any worker thread, and again (harmlessly) at the first read.
bool SetUpExiv2() {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::enableBMFF(true);
    return Exiv2::XmpParser::initialize(&LockXmp, nullptr);
}

const bool g_setUpAtStart = SetUpExiv2();

bool ReadyExiv2() {
    static const bool ready = g_setUpAtStart || SetUpExiv2();
    return ready;
}

bool IsReadType(int type) {
    // Exiv2 also reads video and rare formats; those readers are left alone.
    switch (type) {
        case Exiv2::ImageType::jpeg:
        case Exiv2::ImageType::tiff:  // DNG, NEF, ARW and others too
        case Exiv2::ImageType::cr2:
        case Exiv2::ImageType::orf:
        case Exiv2::ImageType::rw2:
        case Exiv2::ImageType::png:
        case Exiv2::ImageType::webp:
        case Exiv2::ImageType::bmff:
            return true;
        default:
            return false;
    }
}

std::optional<LocalDateTime> ExifDate(const Exiv2::ExifData& exif, const char* key) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end()) return std::nullopt;
    return ParseExifDateTime(it->toString());
}

std::optional<LocalDateTime> XmpDate(const Exiv2::XmpData& xmp, const char* key) {
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    if (it == xmp.end()) return std::nullopt;
    return ParseXmpDateTime(it->toString());
}

std::optional<LocalDateTime> TakenDateOf(const unsigned char* data, size_t size) {
    const long length = static_cast<long>(size);
    if (!IsReadType(Exiv2::ImageFactory::getType(data, length))) return std::nullopt;
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(data, length);
    if (!image.get()) return std::nullopt;
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    for (const char* key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized"})
        if (const auto date = ExifDate(exif, key)) return date;
    const Exiv2::XmpData& xmp = image->xmpData();
    for (const char* key :
         {"Xmp.exif.DateTimeOriginal", "Xmp.photoshop.DateCreated", "Xmp.xmp.CreateDate"})
        if (const auto date = XmpDate(xmp, key)) return date;
    return std::nullopt;
}

}  // namespace

std::optional<LocalDateTime> ImageTakenDate(const unsigned char* data, size_t size) {
    if (size == 0 || size > static_cast<size_t>(LONG_MAX) || !ReadyExiv2()) return std::nullopt;
    try {
        return TakenDateOf(data, size);
    } catch (const Exiv2::AnyError&) {
    } catch (const std::exception&) {
    } catch (...) {
    }
    return std::nullopt;
}

}  // namespace zanfeld
