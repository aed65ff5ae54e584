#pragma once

// The bodies of the fuzz targets. The libFuzzer programs (clang, ZANFELD_FUZZ)
// call them with generated inputs; the regression test of the normal build
// replays every corpus and regression file through the same functions. A
// broken property aborts, so the fuzzer keeps the input and the replay fails.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QSize>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FileOps.h"
#include "IntParse.h"
#include "ListFile.h"
#include "NameRules.h"
#include "PicSize.h"
#include "HandMadePictures.h"
#include "PictureFile.h"
#include "PictureView.h"
#include "SettingsFile.h"
#include "SizePieces.h"
#include "SourceList.h"
#include "TakenDate.h"
#include "TakenSamples.h"
#include "TakenTime.h"
#include "UnitPublic.h"
#include "WholeFile.h"

namespace zanfeld::fuzz {

using test::BigEndian32;
using test::Crc32;

[[noreturn]] inline void Broken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

#define ZANFELD_FUZZ_CHECK(cond) \
    ((cond) ? void(0) : ::zanfeld::fuzz::Broken(#cond, __FILE__, __LINE__))

// A folder for the targets that work on files: on /dev/shm where there is
// one, so the flushes of saved files cost nothing. Removed at exit.
inline const std::string& ScratchDir() {
    static const std::string dir = [] {
        std::string pattern = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        pattern += "/zanfeld-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        static std::string remove;
        remove = pattern;
        std::atexit([] {
            ForEachDirEntry(remove,
                            [](const DirEntry& e) { ::unlink((remove + "/" + e.name).c_str()); });
            ::rmdir(remove.c_str());
        });
        return pattern;
    }();
    return dir;
}

inline std::string WriteScratch(const char* name, std::string_view data) {
    const std::string path = ScratchDir() + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) std::abort();
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return path;
}

inline std::string_view AsText(const uint8_t* data, size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
inline bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            n = 1, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            n = 2, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3, cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size()) return false;
        for (size_t k = 1; k <= n; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += n + 1;
    }
    return true;
}

// UTF-16 code units of valid UTF-8 text.
inline int64_t Utf16Units(std::string_view s) {
    int64_t units = 0;
    for (const char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

// ---- integers --------------------------------------------------------------

// What the integer grammar says the text means, worked out on its own: blanks,
// a sign, then decimal digits or hexadecimal digits after "$", "x" or "0x".
// nullopt for text outside the grammar or values beyond 64 bits.
inline std::optional<__int128> ReferenceInteger(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    int base = 10;
    if (t.substr(i, 2) == "0x" || t.substr(i, 2) == "0X") {
        base = 16, i += 2;
    } else if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
        base = 16, i += 1;
    }
    if (i == t.size()) return std::nullopt;
    __int128 value = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        int d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * base + d;
        if (value > (static_cast<__int128>(1) << 64)) return std::nullopt;
    }
    return negative ? -value : value;
}

inline void FuzzIntParse(const uint8_t* data, size_t size) {
    const std::string_view text = AsText(data, size);
    const auto v32 = ParseInt32(text);
    const auto v64 = ParseInt64(text);
    const auto expected = ReferenceInteger(text);
    const bool fits64 = expected && *expected >= std::numeric_limits<int64_t>::min() &&
                        *expected <= std::numeric_limits<int64_t>::max();
    const bool fits32 = expected && *expected >= std::numeric_limits<int32_t>::min() &&
                        *expected <= std::numeric_limits<int32_t>::max();
    ZANFELD_FUZZ_CHECK(v64.has_value() == fits64);
    ZANFELD_FUZZ_CHECK(!v64 || *v64 == *expected);
    ZANFELD_FUZZ_CHECK(v32.has_value() == fits32);
    ZANFELD_FUZZ_CHECK(!v32 || *v32 == *expected);
}

// ---- settings file ---------------------------------------------------------

inline bool SameFileSettings(const FileWindowSettings& a, const FileWindowSettings& b) {
    auto dateKey = [](const std::optional<CivilDate>& d) {
        return d ? d->year * 10000 + d->month * 100 + d->day : -1;
    };
    auto timeKey = [](const std::optional<TimeOfDay>& t) {
        return t ? t->hour * 10000 + t->minute * 100 + t->second : -1;
    };
    return a.filter == b.filter && a.sameFilePolicy == b.sameFilePolicy && a.outDir == b.outDir &&
           a.page == b.page && a.picHeight == b.picHeight && a.cmbPic == b.cmbPic &&
           a.picSizeValue == b.picSizeValue && a.cmbCondition == b.cmbCondition &&
           a.cmbUnit == b.cmbUnit && a.fileSize == b.fileSize && a.edtKeys == b.edtKeys &&
           a.suffixFilter == b.suffixFilter && dateKey(a.dtDate) == dateKey(b.dtDate) &&
           timeKey(a.dtTime) == timeKey(b.dtTime) && a.fileAttrModified == b.fileAttrModified &&
           a.cmbFileDate == b.cmbFileDate;
}

inline bool SameFolderSettings(const FolderWindowSettings& a, const FolderWindowSettings& b) {
    auto dateKey = [](const std::optional<CivilDate>& d) {
        return d ? d->year * 10000 + d->month * 100 + d->day : -1;
    };
    auto timeKey = [](const std::optional<TimeOfDay>& t) {
        return t ? t->hour * 10000 + t->minute * 100 + t->second : -1;
    };
    return a.filter == b.filter && a.sameFilePolicy == b.sameFilePolicy && a.outDir == b.outDir &&
           a.page == b.page && a.edtKeys == b.edtKeys && dateKey(a.dtDate) == dateKey(b.dtDate) &&
           timeKey(a.dtTime) == timeKey(b.dtTime) && a.cmbFileDate == b.cmbFileDate;
}

inline void CheckLoaded(const FileWindowSettings& s) {
    ZANFELD_FUZZ_CHECK(!s.page || (*s.page >= 0 && *s.page < 6));
    ZANFELD_FUZZ_CHECK(s.filter.size() <= 2047 && s.edtKeys.size() <= 2047);
    for (const std::string& p : s.suffixFilter)
        ZANFELD_FUZZ_CHECK(!p.empty() && p.find('|') == std::string::npos);
    ZANFELD_FUZZ_CHECK(!s.dtDate || (s.dtDate->month >= 1 && s.dtDate->month <= 12 &&
                                     s.dtDate->day >= 1 && s.dtDate->day <= 31));
    ZANFELD_FUZZ_CHECK(!s.dtTime ||
                       (s.dtTime->hour >= 0 && s.dtTime->hour < 24 && s.dtTime->minute >= 0 &&
                        s.dtTime->minute < 60 && s.dtTime->second >= 0 && s.dtTime->second < 60));
    ZANFELD_FUZZ_CHECK(s.outDir.empty() || DirExists(s.outDir));
}

// The lines of an ini text, each read on its own as plainly as possible:
// blanks around it dropped; ";" or "#" starts a comment; "[name]" with nothing
// after the "]" names a section; "key=value" with a key is an entry. Names
// are matched without regard to ASCII letter case.
struct IniLines {
    bool plain = true;  // no NUL byte and no line of another form
    std::set<std::string> sections;
    std::multiset<std::string> comments;
    std::multiset<std::string> entries;  // section, key and value, joined by NULs
    std::multiset<std::string> commentsOutsideParameter;
};

inline std::string_view TrimIni(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

inline std::string FoldIni(std::string_view s) {
    std::string folded(s);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return folded;
}

inline IniLines ReadIniLines(std::string_view text) {
    IniLines lines;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.find('\0') != std::string_view::npos) lines.plain = false;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = TrimIni(text.substr(start, end - start));
        start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        if (line.empty()) continue;
        if (line[0] == ';' || line[0] == '#') {
            lines.comments.emplace(line);
            if (section != "parameter") lines.commentsOutsideParameter.emplace(line);
        } else if (line[0] == '[') {
            if (line.find(']') != line.size() - 1) {
                lines.plain = false;
                continue;
            }
            section = FoldIni(TrimIni(line.substr(1, line.size() - 2)));
            if (!section.empty()) lines.sections.insert(section);
        } else if (const size_t equals = line.find('='); equals != 0 && equals != line.npos) {
            lines.entries.insert(section + '\0' + FoldIni(TrimIni(line.substr(0, equals))) + '\0' +
                                 std::string(TrimIni(line.substr(equals + 1))));
        } else {
            lines.plain = false;
        }
    }
    return lines;
}

template <typename Set>
bool Includes(const Set& outer, const Set& inner) {
    return std::includes(outer.begin(), outer.end(), inner.begin(), inner.end());
}

// A save of the file window went through: the old file held nothing a save
// cannot keep, and every section, every comment outside [Parameter] and every
// entry but the window's own keys in [Parameter] is in the new file.
inline bool KeptAllButTheFileWindow(std::string_view before, std::string_view after) {
    static const std::set<std::string> kOwn = {
        "filter",       "samefile",     "outdir",   "page",       "picsize", "cmbpic",
        "picsizevalue", "cmbcondition", "cmbunit",  "filesize",   "edtkeys", "suffixfilter",
        "dtdate",       "dttime",       "fileattr", "cmbfiledate"};
    IniLines old = ReadIniLines(before);
    const IniLines now = ReadIniLines(after);
    if (!old.plain || !now.plain) return false;
    for (auto it = old.entries.begin(); it != old.entries.end();) {
        const size_t cut = it->find('\0');
        const std::string key = it->substr(cut + 1, it->find('\0', cut + 1) - cut - 1);
        if (it->compare(0, cut, "parameter") == 0 && cut == 9 && kOwn.count(key) != 0)
            it = old.entries.erase(it);
        else
            ++it;
    }
    return Includes(now.sections, old.sections) && Includes(now.entries, old.entries) &&
           Includes(now.comments, old.commentsOutsideParameter);
}

// Loads any bytes as the settings file; saving one window's section keeps the
// other window's section as it was, and every line of the file but that
// window's own keys, or is refused and leaves the file byte for byte as it
// was; saving what was loaded and loading it again settles after one round.
inline void FuzzSettings(const uint8_t* data, size_t size) {
    const std::string_view before = AsText(data, size);
    const std::string path = WriteScratch("Zanfeld.ini", before);
    const std::string programDir = ScratchDir();
    const FileWindowSettings file = LoadFileWindowSettings(path, programDir);
    const FolderWindowSettings folder = LoadFolderWindowSettings(path, programDir);
    CheckLoaded(file);
    ZANFELD_FUZZ_CHECK(!folder.page || (*folder.page >= 0 && *folder.page < 3));

    const bool saved = SaveFileWindowSettings(path, file).empty();
    std::string after;
    ZANFELD_FUZZ_CHECK(ReadWholeFile(path, after) == 0);
    if (!saved) {
        // e.g. a file too large to keep, or one holding a NUL byte
        ZANFELD_FUZZ_CHECK(after == before);
        return;
    }
    ZANFELD_FUZZ_CHECK(KeptAllButTheFileWindow(before, after));
    const FolderWindowSettings folderAfter = LoadFolderWindowSettings(path, programDir);
    ZANFELD_FUZZ_CHECK(SameFolderSettings(folder, folderAfter));
    const FileWindowSettings once = LoadFileWindowSettings(path, programDir);
    CheckLoaded(once);
    ZANFELD_FUZZ_CHECK(SaveFileWindowSettings(path, once).empty());
    const FileWindowSettings twice = LoadFileWindowSettings(path, programDir);
    ZANFELD_FUZZ_CHECK(SameFileSettings(once, twice));
}

// ---- list files ------------------------------------------------------------

// Splits any bytes into lines; every line is a non-empty run of the text
// before the first NUL without line ends; what is exported comes back.
inline void FuzzListFile(const uint8_t* data, size_t size) {
    std::string_view text = AsText(data, size);
    const std::vector<std::string> lines = SplitListLines(text);
    const size_t nul = text.find('\0');
    const std::string_view before = text.substr(0, nul);
    size_t at = 0;
    size_t bytes = 0;
    for (const std::string& line : lines) {
        ZANFELD_FUZZ_CHECK(!line.empty());
        ZANFELD_FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
        at = before.find(line, at);
        ZANFELD_FUZZ_CHECK(at != std::string_view::npos);
        at += line.size();
        bytes += line.size();
    }
    size_t breaks = 0;
    for (const char c : before) breaks += c == '\r' || c == '\n';
    ZANFELD_FUZZ_CHECK(bytes + breaks == before.size());

    const std::string listPath = WriteScratch("in.lst", text);
    SourceList list;
    const ListFileResult imported = ImportListFile(listPath, list, ListKind::Files);
    ZANFELD_FUZZ_CHECK(imported.ok && imported.count == list.size() && list.size() <= lines.size());

    const std::string outPath = ScratchDir() + "/out.lst";
    const ListFileResult exported = ExportListFile(outPath, lines);
    ZANFELD_FUZZ_CHECK(exported.ok && exported.count == lines.size() && exported.skipped == 0);
    std::string back;
    ZANFELD_FUZZ_CHECK(ReadWholeFile(outPath, back) == 0);
    ZANFELD_FUZZ_CHECK(SplitListLines(back) == lines);
}

// ---- name filters and character ranges -------------------------------------

// Input: 8 bytes of range (two little-endian int32), then the name, a NUL, and
// the filter. Character ranges never cut a character and stay a part of the
// name; removing pieces never grows a name and keeps valid UTF-8 valid.
inline void FuzzNameFilter(const uint8_t* data, size_t size) {
    int32_t begin = 1, end = 0;
    if (size >= 8) {
        uint32_t b = 0, e = 0;
        for (int k = 0; k < 4; ++k) {
            b |= static_cast<uint32_t>(data[k]) << (8 * k);
            e |= static_cast<uint32_t>(data[4 + k]) << (8 * k);
        }
        begin = static_cast<int32_t>(b);
        end = static_cast<int32_t>(e);
        data += 8;
        size -= 8;
    }
    const std::string_view rest = AsText(data, size);
    const size_t sep = rest.find('\0');
    const std::string name(rest.substr(0, sep));
    const std::string filter(sep == std::string_view::npos ? std::string_view()
                                                           : rest.substr(sep + 1));
    const bool nameValid = IsValidUtf8(name);

    const std::string removed = RemoveFilterPieces(name, filter);
    ZANFELD_FUZZ_CHECK(removed.size() <= name.size());
    if (filter.find_first_not_of('*') == std::string::npos) ZANFELD_FUZZ_CHECK(removed == name);
    if (nameValid && IsValidUtf8(filter)) ZANFELD_FUZZ_CHECK(IsValidUtf8(removed));

    const std::string part = CopyChars(name, begin, end);
    ZANFELD_FUZZ_CHECK(name.find(part) != std::string::npos);
    if (end <= 0) ZANFELD_FUZZ_CHECK(part.empty());
    if (nameValid) {
        ZANFELD_FUZZ_CHECK(IsValidUtf8(part));
        ZANFELD_FUZZ_CHECK(Utf16Units(part) <= std::max<int64_t>(end, 0));
    }

    SortOptions options;
    options.useNamePart = true;
    options.nameFilter = filter;
    const std::string derived = DeriveTargetName(name, options, NameRange{begin, end});
    ZANFELD_FUZZ_CHECK(derived.size() <= name.size());
    if (nameValid && IsValidUtf8(filter)) ZANFELD_FUZZ_CHECK(IsValidUtf8(derived));

    // Keywords: split at every single blank, so joining gives the text back.
    const std::vector<std::string> keywords = SplitKeywords(filter);
    std::string joined;
    for (size_t i = 0; i < keywords.size(); ++i) joined += (i ? " " : "") + keywords[i];
    ZANFELD_FUZZ_CHECK(joined == filter);
    for (const std::string& keyword : keywords) (void)KeywordMatches(keyword, name);
}

// ---- picture size ----------------------------------------------------------

// Counts the bytes the probe reads and the files it opens.
class ProbeWatchSys : public Sys {
  public:
    int open(const char* path, int flags, mode_t mode) override {
        ++opens;
        return Sys::open(path, flags, mode);
    }
    ssize_t read(int fd, void* buf, size_t count) override {
        return counted(Sys::read(fd, buf, count));
    }
    ssize_t pread(int fd, void* buf, size_t count, off_t offset) override {
        return counted(Sys::pread(fd, buf, count, offset));
    }
    int64_t bytes = 0;
    int opens = 0;

  private:
    ssize_t counted(ssize_t n) {
        if (n > 0) bytes += n;
        return n;
    }
};

struct PictureProbe {
    uint32_t width = 0;
    uint32_t height = 0;
    int64_t mostRead = 0;  // the most one probe read
};

inline PictureProbe ProbePicture(const std::string& path) {
    PictureProbe p;
    for (const PicDimension side : {PicDimension::Width, PicDimension::Height}) {
        ProbeWatchSys watch;
        ScopedSys scoped(watch);
        (side == PicDimension::Width ? p.width : p.height) = GetPicSize(path, side);
        ZANFELD_FUZZ_CHECK(watch.opens <= 1);
        p.mostRead = std::max(p.mostRead, watch.bytes);
    }
    return p;
}

// What Qt's readers make of bytes held in memory, with nothing left out and
// no budget: the stored size (a top-down bitmap's negated height taken as
// its rows), 0 for no picture, as the probe answers.
inline PictureProbe QtReading(std::string_view bytes) {
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (size == QSize()) return {0, 0, 0};
    auto magnitude = [](int v) { return static_cast<uint32_t>(v < 0 ? -int64_t{v} : v); };
    return {magnitude(size.width()), magnitude(size.height()), 0};
}

// What the probe's readers are shown of the file at path (read without the
// budget, to compare); turnedDown when they are shown nothing at all.
struct Shown {
    std::string bytes;
    bool turnedDown = false;
};

inline Shown ShownOf(const std::string& path) {
    PictureFile file(std::numeric_limits<int64_t>::max());
    if (!file.open(path)) return {};
    PictureView view(file, SizePieces(file));
    Shown shown{std::string(static_cast<size_t>(view.size()), '\0'), view.pieces().empty()};
    ZANFELD_FUZZ_CHECK(view.read(0, shown.bytes.data(), view.size()) == view.size());
    return shown;
}

inline bool SameSize(const PictureProbe& a, const PictureProbe& b) {
    return a.width == b.width && a.height == b.height;
}

// Any bytes as a picture file: no crash; the file is closed afterwards and
// was opened once per probe; no probe reads more than the budget. Where the
// budget refused nothing, the answer is what Qt's readers make of what the
// probe shows them, and of the whole file (leaving metadata out changes no
// size), and metadata put in before the frame header changes nothing.
inline void FuzzPicSize(const uint8_t* data, size_t size) {
    const std::string_view bytes = AsText(data, size);
    const std::string path = WriteScratch("picture", bytes);
    const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(probe);
    const PictureProbe got = ProbePicture(path);
    const int after = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(after);
    ZANFELD_FUZZ_CHECK(after == probe);
    ZANFELD_FUZZ_CHECK(got.mostRead <= PictureFile::kReadBudget);
    if (got.mostRead >= PictureFile::kReadBudget) return;

    const Shown shown = ShownOf(path);
    ZANFELD_FUZZ_CHECK(SameSize(got, QtReading(shown.bytes)));
    // A file turned down is one Qt's readers would spend much on (time or
    // memory) before failing. Otherwise, small inputs only: Qt's JPEG reader
    // takes time that grows with the square of the count of metadata
    // segments it is given.
    if (shown.turnedDown) return;
    if (size <= 64 * 1024) ZANFELD_FUZZ_CHECK(SameSize(got, QtReading(bytes)));

    // Some room is left in the budget for the longer walk.
    if (got.mostRead > PictureFile::kReadBudget / 2) return;
    std::string more;
    if (bytes.substr(0, 2) == "\xFF\xD8") {
        const std::string comment = "a comment " + std::string(3000, 'c');
        more = std::string(bytes.substr(0, 2)) + "\xFF\xFE";
        more += static_cast<char>((comment.size() + 2) >> 8);
        more += static_cast<char>((comment.size() + 2) & 0xff);
        more += comment + std::string(bytes.substr(2));
    } else if (bytes.size() >= 33 &&
               bytes.substr(0, 16) == std::string_view("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16)) {
        const std::string text = "tEXt" + std::string("Comment\0", 8) + std::string(3000, 't');
        more = std::string(bytes.substr(0, 33)) +
               BigEndian32(static_cast<uint32_t>(text.size() - 4)) + text +
               BigEndian32(Crc32(text)) + std::string(bytes.substr(33));
    } else {
        return;
    }
    const PictureProbe withMore = ProbePicture(WriteScratch("picture", more));
    ZANFELD_FUZZ_CHECK(SameSize(got, withMore));
}

// ---- taken dates -----------------------------------------------------------

// Any bytes as a photo or video: no crash; one open at most and the file
// closed afterwards; no more read than the budget; a date given is a
// plausible one; and for a JPEG, a comment put in before the metadata
// changes nothing.
inline void FuzzTakenDate(const uint8_t* data, size_t size) {
    const std::string_view bytes = AsText(data, size);
    const std::string path = WriteScratch("taken", bytes);
    auto read = [](const std::string& at) {
        ProbeWatchSys watch;
        ScopedSys scoped(watch);
        const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ::close(probe);
        const auto date = ReadTakenDate(at);
        const int after = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ::close(after);
        ZANFELD_FUZZ_CHECK(after == probe);
        ZANFELD_FUZZ_CHECK(watch.opens <= 1);
        ZANFELD_FUZZ_CHECK(watch.bytes <= kTakenReadBudget);
        ZANFELD_FUZZ_CHECK(!date || IsPlausibleTakenTime(*date));
        return date;
    };
    const auto date = read(path);
    if (bytes.substr(0, 2) != "\xFF\xD8" || size > kTakenReadBudget / 2) return;
    const std::string more = std::string(bytes.substr(0, 2)) +
                             test::Segment(0xFE, "a comment " + std::string(3000, 'c')) +
                             std::string(bytes.substr(2));
    const auto again = read(WriteScratch("taken", more));
    ZANFELD_FUZZ_CHECK(date.has_value() == again.has_value());
    ZANFELD_FUZZ_CHECK(!date || (date->year == again->year && date->month == again->month &&
                                 date->day == again->day && date->hour == again->hour &&
                                 date->minute == again->minute && date->second == again->second));
}

}  // namespace zanfeld::fuzz
