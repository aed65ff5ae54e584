#include "SettingsIni.h"

#include <cerrno>
#include <map>
#include <set>
#include <string_view>

#include "FileOps.h"
#include "IniScan.h"
#include "MessageTexts.h"
#include "WholeFile.h"

namespace zanfeld {

namespace {

// The file holds a few short sections; anything far larger is not ours and
// is not parsed, so a stray huge file cannot stall the start.
constexpr size_t kMaxFileBytes = 1 << 20;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

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

}  // namespace

void LoadForReading(const std::string& path, CSimpleIniA& ini) {
    ConfigureIni(ini);
    std::string data;
    if (ReadWholeFile(path, data, kMaxFileBytes) != 0) return;
    if (ini.LoadData(data) < 0) ini.Reset();
}

namespace {

// Whether after holds everything of before but the keys the save meant to
// write into section (or the whole section, when it was removed): every
// section, every value of every other key in its order, every comment.
bool KeepsTheRest(const IniScan& before, const IniScan& after, const std::string& section,
                  const std::set<std::string>& written, bool removed) {
    auto rewritten = [&](const IniScan::Key& key) {
        return key.first == section && (removed || written.count(key.second) != 0);
    };
    for (const std::string& name : before.sections()) {
        if (after.sections().count(name) == 0 && !(removed && name == section)) return false;
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
        if (removed && comment.before.first == section) continue;
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

// SaveSection; with anew the section goes first (ReplaceSection), and
// without fill it only goes (RemoveSection).
std::string Rewrite(const std::string& path, const char* section,
                    const std::function<void(SectionWriter&)>& fill, bool anew) {
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
    const bool removed = anew || !fill;
    if (removed && ini.GetSection(section)) {
        if (!ini.Delete(section, nullptr, true)) return failure;
    } else if (!fill) {
        return {};  // nothing to remove
    }
    if (fill) {
        fill(writer);
        if (!writer.ok()) return failure;
    }

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
        !KeepsTheRest(before, after, IniScan::Fold(section), writer.keys(), removed)) {
        return Format(MessageId::SettingsWouldLose, {path});
    }
    const int writeError = ReplaceFileContents(path, out);
    if (writeError == kNotRegularFile) return NotRegularText(path);
    if (writeError != 0) return failure;
    return {};
}

}  // namespace

std::string SaveSection(const std::string& path, const char* section,
                        const std::function<void(SectionWriter&)>& fill) {
    return Rewrite(path, section, fill, false);
}

std::string ReplaceSection(const std::string& path, const char* section,
                           const std::function<void(SectionWriter&)>& fill) {
    return Rewrite(path, section, fill, true);
}

std::string RemoveSection(const std::string& path, const char* section) {
    return Rewrite(path, section, nullptr, true);
}

}  // namespace zanfeld
