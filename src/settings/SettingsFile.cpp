#include "SettingsFile.h"

// The distribution's SimpleIni library is built with the ICU converter; the
// narrow CSimpleIniA used here passes bytes through unchanged either way.
#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string_view>

#include "FileOps.h"
#include "HomeFolder.h"
#include "IniScan.h"
#include "IntParse.h"
#include "MessageTexts.h"
#include "PathNames.h"
#include "TextUtil.h"
#include "WholeFile.h"

namespace zanfeld {

namespace {

constexpr const char* kFileSection = "Parameter";
constexpr const char* kFolderSection = "Parameter2";
constexpr int kFilePages = 6;
constexpr int kFolderPages = 3;
// Longest text value taken from the file.
constexpr size_t kMaxTextLength = 2047;
// The file holds two short sections; anything far larger is not ours and is
// not parsed, so a stray huge file cannot stall the start.
constexpr size_t kMaxFileBytes = 1 << 20;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// ---- value encodings ------------------------------------------------------

SameFilePolicy SameFileFromStored(int value) {
    switch (value) {
        case 1:
            return SameFilePolicy::Overwrite;
        case 2:
            return SameFilePolicy::Ask;
        case 3:
            return SameFilePolicy::Rename;
        case 4:
            return SameFilePolicy::EditFileTime;
        default:
            return SameFilePolicy::Skip;
    }
}

int SameFileToStored(SameFilePolicy policy) {
    switch (policy) {
        case SameFilePolicy::Overwrite:
            return 1;
        case SameFilePolicy::Ask:
            return 2;
        case SameFilePolicy::Rename:
            return 3;
        case SameFilePolicy::EditFileTime:
            return 4;
        case SameFilePolicy::Skip:
            break;
    }
    return 0;
}

// Cuts a text value to its first kMaxTextLength bytes without leaving half a
// UTF-8 sequence at the end.
std::string CutText(std::string text) {
    if (text.size() <= kMaxTextLength) return text;
    size_t cut = kMaxTextLength;
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        for (size_t back = 1; back <= 3 && back <= cut; ++back) {
            const unsigned char c = static_cast<unsigned char>(text[cut - back]);
            if ((c & 0xC0) == 0x80) continue;
            if (c >= 0xC0) {
                const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
                if (length > back) cut -= back;
            }
            break;
        }
    }
    text.resize(cut);
    return text;
}

// Reads exactly n decimal digits at text[pos].
std::optional<int> Digits(std::string_view text, size_t pos, size_t n) {
    if (pos + n > text.size()) return std::nullopt;
    int value = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

std::string FormatDate(const CivilDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

// "yyyy-MM-dd", a real calendar day.
std::optional<CivilDate> ParseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    if (!year || !month || !day || *year < 1 || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*year, *month)) {
        return std::nullopt;
    }
    return CivilDate{*year, *month, *day};
}

std::string FormatTime(const TimeOfDay& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

// "HH:mm:ss" on a 24-hour clock.
std::optional<TimeOfDay> ParseTime(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
    const auto hour = Digits(text, 0, 2);
    const auto minute = Digits(text, 3, 2);
    const auto second = Digits(text, 6, 2);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return TimeOfDay{*hour, *minute, *second};
}

std::vector<std::string> ParseSuffixFilter(std::string value) {
    std::vector<std::string> patterns;
    for (size_t bar = value.find('|'); bar != std::string::npos; bar = value.find('|')) {
        if (bar > 0) patterns.push_back(value.substr(0, bar));
        value.erase(0, bar + 1);
    }
    std::string rest = TrimBlanks(value);
    if (!rest.empty()) patterns.push_back(std::move(rest));
    return patterns;
}

std::string JoinSuffixFilter(const std::vector<std::string>& patterns) {
    std::string value;
    for (const std::string& pattern : patterns) {
        if (pattern.empty()) continue;
        value += pattern;
        value += '|';
    }
    return value;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// ---- the file --------------------------------------------------------------

void ConfigureIni(CSimpleIniA& ini) {
    ini.SetUnicode(true);
    ini.SetMultiKey(true);  // duplicate keys of other programs' sections survive a save
    ini.SetMultiLine(false);
    ini.SetSpaces(false);  // "key=value", as private-profile files are written
    ini.SetQuotes(false);
}

// SimpleIni drops comment lines that follow the last entry of the file;
// this finds them so a save can put them back.
std::string TrailingComments(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end;
        if (start < text.size() && text[start] == '\r' && start + 1 < text.size() &&
            text[start + 1] == '\n') {
            ++start;
        }
        if (start < text.size()) ++start;
    }
    auto isComment = [](std::string_view line) {
        const size_t first = line.find_first_not_of(" \t");
        return first != std::string_view::npos && (line[first] == ';' || line[first] == '#');
    };
    auto isBlank = [](std::string_view line) {
        return line.find_first_not_of(" \t") == std::string_view::npos;
    };
    size_t from = 0;
    // The comment block that opens the file is kept by SimpleIni itself.
    if (!text.empty() && (text[0] == ';' || text[0] == '#')) {
        while (from < lines.size() && !lines[from].empty() &&
               (lines[from][0] == ';' || lines[from][0] == '#')) {
            ++from;
        }
    }
    for (size_t i = from; i < lines.size(); ++i) {
        if (!isBlank(lines[i]) && !isComment(lines[i])) from = i + 1;
    }
    std::string trailing;
    for (size_t i = from; i < lines.size(); ++i) {
        if (!isComment(lines[i])) continue;
        trailing.append(lines[i]);
        trailing += '\n';
    }
    return trailing;
}

// Reads the file for loading. A missing, unreadable or oversized file, or a
// folder, leaves ini empty so that every key takes its default.
void LoadForReading(const std::string& path, CSimpleIniA& ini) {
    ConfigureIni(ini);
    std::string data;
    if (ReadWholeFile(path, data, kMaxFileBytes) != 0) return;
    if (ini.LoadData(data) < 0) ini.Reset();
}

class SectionReader {
  public:
    SectionReader(const CSimpleIniA& ini, const char* section) : m_ini(ini), m_section(section) {}

    std::string text(const char* key, const std::string& fallback = {}) const {
        const char* value = m_ini.GetValue(m_section, key, nullptr);
        return value ? CutText(value) : fallback;
    }
    int integer(const char* key, int fallback = 0) const {
        const char* value = m_ini.GetValue(m_section, key, nullptr);
        if (!value) return fallback;
        return ParseInt32(CutText(value)).value_or(fallback);
    }
    std::optional<CivilDate> date(const char* key) const {
        const char* value = m_ini.GetValue(m_section, key, nullptr);
        return value ? ParseDate(value) : std::nullopt;
    }
    std::optional<TimeOfDay> time(const char* key) const {
        const char* value = m_ini.GetValue(m_section, key, nullptr);
        return value ? ParseTime(value) : std::nullopt;
    }
    std::optional<int> page(int pages) const {
        const int value = integer("Page", 0);
        if (value < 0 || value >= pages) return std::nullopt;
        return value;
    }
    // Applied only when it names an existing folder.
    std::string outDir(const std::string& defaultOutDir) const {
        const std::string value = text("OutDir", WithTrailingSeparator(defaultOutDir));
        return !value.empty() && DirExists(value) ? value : std::string();
    }

  private:
    const CSimpleIniA& m_ini;
    const char* m_section;
};

class SectionWriter {
  public:
    SectionWriter(CSimpleIniA& ini, const char* section) : m_ini(ini), m_section(section) {}

    void text(const char* key, const std::string& value) {
        // A line break would end the value early and start a line of its own
        // (another key, even another section); it becomes a blank instead.
        std::string line = value;
        for (char& c : line) {
            if (c == '\r' || c == '\n') c = ' ';
        }
        if (m_ini.SetValue(m_section, key, line.c_str(), nullptr, true) < 0) m_ok = false;
        m_keys.insert(IniScan::Fold(key));
    }
    void integer(const char* key, int value) { text(key, std::to_string(value)); }
    bool ok() const { return m_ok; }
    // The keys written, folded.
    const std::set<std::string>& keys() const { return m_keys; }

  private:
    CSimpleIniA& m_ini;
    const char* m_section;
    bool m_ok = true;
    std::set<std::string> m_keys;
};

// Whether after holds everything of before but the keys the save meant to
// write into section: every section, every value of every other key in its
// order, every comment.
bool KeepsTheRest(const IniScan& before, const IniScan& after, const std::string& section,
                  const std::set<std::string>& written) {
    auto rewritten = [&](const IniScan::Key& key) {
        return key.first == section && written.count(key.second) != 0;
    };
    for (const std::string& name : before.sections()) {
        if (after.sections().count(name) == 0) return false;
    }
    auto others = [&](const IniScan& scan) {
        std::map<IniScan::Key, std::vector<std::string>> values;
        for (const auto& [key, list] : scan.values()) {
            if (!rewritten(key)) values.emplace(key, list);
        }
        return values;
    };
    if (others(before) != others(after)) return false;
    std::map<std::string, long> comments;
    for (const IniScan::Comment& comment : after.comments()) ++comments[comment.text];
    for (const IniScan::Comment& comment : before.comments()) {
        // SimpleIni keeps one comment of a key it replaces, not those of its repeats.
        if (comment.beforeKey && rewritten(comment.before)) continue;
        if (--comments[comment.text] < 0) return false;
    }
    return true;
}

std::string NotRegularText(const std::string& path) {
    return Format(MessageId::SettingsNotRegular, {path});
}

std::string FaultText(const std::string& path, const IniScan& scan) {
    MessageId text = MessageId::SettingsLineFault;
    switch (scan.fault()) {
        case IniLineFault::Nul:
            text = MessageId::SettingsLineNul;
            break;
        case IniLineFault::NoEquals:
            text = MessageId::SettingsLineNoEquals;
            break;
        case IniLineFault::EmptyKey:
            text = MessageId::SettingsLineEmptyKey;
            break;
        case IniLineFault::UnclosedSection:
            text = MessageId::SettingsLineUnclosed;
            break;
        case IniLineFault::TextAfterSection:
            text = MessageId::SettingsLineAfterSection;
            break;
        case IniLineFault::None:
            break;
    }
    return Format(text, {path, std::to_string(scan.faultLine())});
}

// Rereads the file, lets fill rewrite one section and puts the result in
// place of the file. Returns "" or the error text. A file holding what the
// rewrite could not keep is left as it is, byte for byte.
std::string SaveSection(const std::string& path, const char* section,
                        const std::function<void(SectionWriter&)>& fill) {
    const std::string failure = Format(MessageId::SettingsUnableToWrite, {path});
    const std::string folder = FolderOf(path);
    if (!DirExists(folder) && MakeDirs(folder) != 0) return failure;

    std::string data;
    const int readError = ReadWholeFile(path, data, kMaxFileBytes);
    // A file that is there but cannot be read back would lose what it holds.
    if (readError == ENOENT)
        data.clear();
    else if (readError == kNotRegularFile)
        return NotRegularText(path);
    else if (readError != 0)
        return failure;

    const bool hadBom = data.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0;
    const std::string_view text = std::string_view(data).substr(hadBom ? kUtf8Bom.size() : 0);
    const IniScan before(text);
    if (before.faultLine() != 0) return FaultText(path, before);

    CSimpleIniA ini;
    ConfigureIni(ini);
    if (ini.LoadData(data) < 0) return failure;
    const std::string trailing = TrailingComments(text);

    SectionWriter writer(ini, section);
    fill(writer);
    if (!writer.ok()) return failure;

    std::string out;
    if (ini.Save(out, hadBom) < 0) return failure;
    if (!trailing.empty()) {
        out += '\n';
        out += trailing;
    }
    // What goes into the file is read back the same way and must hold
    // everything the old file held outside the keys just written.
    const IniScan after(std::string_view(out).substr(hadBom ? kUtf8Bom.size() : 0));
    if (after.faultLine() != 0 ||
        !KeepsTheRest(before, after, IniScan::Fold(section), writer.keys())) {
        return Format(MessageId::SettingsWouldLose, {path});
    }
    const int writeError = ReplaceFileContents(path, out);
    if (writeError == kNotRegularFile) return NotRegularText(path);
    if (writeError != 0) return failure;
    return {};
}

}  // namespace

std::string DefaultSettingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is ignored.
    if (xdg && xdg[0] == '/') return WithTrailingSeparator(xdg) + "Zanfeld.ini";
    std::string home = HomeFolder();
    if (home.empty()) home.push_back('.');  // "=" here trips a false -Wrestrict in GCC 12
    return WithTrailingSeparator(home) + ".config/Zanfeld.ini";
}

FileWindowSettings LoadFileWindowSettings(const std::string& iniPath,
                                          const std::string& defaultOutDir) {
    CSimpleIniA ini;
    LoadForReading(iniPath, ini);
    const SectionReader in(ini, kFileSection);
    FileWindowSettings s;
    s.filter = in.text("Filter");
    s.sameFilePolicy = SameFileFromStored(in.integer("SameFile"));
    s.outDir = in.outDir(defaultOutDir);
    s.page = in.page(kFilePages);
    s.picHeight = in.integer("PicSize") != 0;
    s.cmbPic = in.integer("CmbPic");
    s.picSizeValue = in.text("PicSizeValue");
    s.cmbCondition = in.integer("CmbCondition");
    s.cmbUnit = in.integer("CmbUnit");
    s.fileSize = in.text("FileSize");
    s.edtKeys = in.text("EdtKeys");
    s.suffixFilter = ParseSuffixFilter(in.text("SuffixFilter"));
    s.dtDate = in.date("DTDate");
    s.dtTime = in.time("DTTime");
    s.fileAttrModified = in.integer("FileAttr") != 0;
    s.cmbFileDate = in.integer("CmbFileDate");
    return s;
}

FolderWindowSettings LoadFolderWindowSettings(const std::string& iniPath,
                                              const std::string& defaultOutDir) {
    CSimpleIniA ini;
    LoadForReading(iniPath, ini);
    const SectionReader in(ini, kFolderSection);
    FolderWindowSettings s;
    s.filter = in.text("Filter");
    s.sameFilePolicy = SameFileFromStored(in.integer("SameFile"));
    s.outDir = in.outDir(defaultOutDir);
    s.page = in.page(kFolderPages);
    s.edtKeys = in.text("EdtKeys");
    s.dtDate = in.date("DTDate");
    s.dtTime = in.time("DTTime");
    s.cmbFileDate = in.integer("CmbFileDate");
    return s;
}

std::string SaveFileWindowSettings(const std::string& iniPath, const FileWindowSettings& s) {
    return SaveSection(iniPath, kFileSection, [&](SectionWriter& out) {
        out.text("Filter", s.filter);
        out.integer("SameFile", SameFileToStored(s.sameFilePolicy));
        out.text("OutDir", s.outDir);
        out.integer("Page", s.page.value_or(0));
        out.integer("PicSize", s.picHeight ? 1 : 0);
        out.integer("CmbPic", s.cmbPic);
        out.text("PicSizeValue", s.picSizeValue);
        out.integer("CmbCondition", s.cmbCondition);
        out.integer("CmbUnit", s.cmbUnit);
        out.text("FileSize", s.fileSize);
        out.text("EdtKeys", TrimBlanks(s.edtKeys));
        out.text("SuffixFilter", JoinSuffixFilter(s.suffixFilter));
        out.text("DTDate", FormatDate(s.dtDate.value_or(CivilDate{})));
        out.text("DTTime", FormatTime(s.dtTime.value_or(TimeOfDay{})));
        out.integer("FileAttr", s.fileAttrModified ? 1 : 0);
        out.integer("CmbFileDate", s.cmbFileDate);
    });
}

std::string SaveFolderWindowSettings(const std::string& iniPath, const FolderWindowSettings& s) {
    return SaveSection(iniPath, kFolderSection, [&](SectionWriter& out) {
        out.text("Filter", s.filter);
        out.integer("SameFile", SameFileToStored(s.sameFilePolicy));
        out.text("OutDir", s.outDir);
        out.integer("Page", s.page.value_or(0));
        out.text("EdtKeys", TrimBlanks(s.edtKeys));
        out.text("DTDate", FormatDate(s.dtDate.value_or(CivilDate{})));
        out.text("DTTime", FormatTime(s.dtTime.value_or(TimeOfDay{})));
        out.integer("CmbFileDate", s.cmbFileDate);
    });
}

}  // namespace zanfeld
