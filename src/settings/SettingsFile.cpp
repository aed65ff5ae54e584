#include "SettingsFile.h"

#include <cstdlib>

#include "HomeFolder.h"
#include "PathNames.h"
#include "SectionReader.h"
#include "SettingsIni.h"
#include "StoredValues.h"
#include "TextUtil.h"
#include "WindowKeys.h"

namespace zanfeld {

namespace {

constexpr const char* kFileSection = "Parameter";
constexpr const char* kFolderSection = "Parameter2";
// The taken-date page came after the window's first six pages; its keys
// have a section of their own, so that [Parameter] keeps the keys it always had.
constexpr const char* kTakenSection = "TakenDate";

}  // namespace

FileWindowSettings ReadFileWindowKeys(const SectionReader& in) {
    FileWindowSettings s;
    s.filter = in.text("Filter");
    s.sameFilePolicy = SameFileFromStored(in.integer("SameFile"));
    s.outDir = in.text("OutDir");
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
    ReadTakenKeys(in, s);
    return s;
}

void ReadTakenKeys(const SectionReader& in, FileWindowSettings& s) {
    const int group = in.integer("TakenGroup", 1);
    s.takenGroup = group >= 0 && group <= 3 ? group : 1;
    s.takenModified = in.integer("TakenMTime") != 0;
    s.takenSkipUnknown = in.integer("TakenSkip") != 0;
}

void WriteTakenKeys(SectionWriter& out, const FileWindowSettings& s) {
    out.integer("TakenGroup", s.takenGroup);
    out.integer("TakenMTime", s.takenModified ? 1 : 0);
    out.integer("TakenSkip", s.takenSkipUnknown ? 1 : 0);
}

void WriteFileWindowKeys(SectionWriter& out, const FileWindowSettings& s) {
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
}

FolderWindowSettings ReadFolderWindowKeys(const SectionReader& in) {
    FolderWindowSettings s;
    s.filter = in.text("Filter");
    s.sameFilePolicy = SameFileFromStored(in.integer("SameFile"));
    s.outDir = in.text("OutDir");
    s.page = in.page(kFolderPages);
    s.edtKeys = in.text("EdtKeys");
    s.dtDate = in.date("DTDate");
    s.dtTime = in.time("DTTime");
    s.cmbFileDate = in.integer("CmbFileDate");
    return s;
}

void WriteFolderWindowKeys(SectionWriter& out, const FolderWindowSettings& s) {
    out.text("Filter", s.filter);
    out.integer("SameFile", SameFileToStored(s.sameFilePolicy));
    out.text("OutDir", s.outDir);
    out.integer("Page", s.page.value_or(0));
    out.text("EdtKeys", TrimBlanks(s.edtKeys));
    out.text("DTDate", FormatDate(s.dtDate.value_or(CivilDate{})));
    out.text("DTTime", FormatTime(s.dtTime.value_or(TimeOfDay{})));
    out.integer("CmbFileDate", s.cmbFileDate);
}

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
    FileWindowSettings s = ReadFileWindowKeys(in);
    s.outDir = in.outDir(defaultOutDir);
    ReadTakenKeys(SectionReader(ini, kTakenSection), s);
    return s;
}

FolderWindowSettings LoadFolderWindowSettings(const std::string& iniPath,
                                              const std::string& defaultOutDir) {
    CSimpleIniA ini;
    LoadForReading(iniPath, ini);
    const SectionReader in(ini, kFolderSection);
    FolderWindowSettings s = ReadFolderWindowKeys(in);
    s.outDir = in.outDir(defaultOutDir);
    return s;
}

std::string SaveFileWindowSettings(const std::string& iniPath, const FileWindowSettings& s) {
    std::string error =
        SaveSection(iniPath, kFileSection, [&](SectionWriter& out) { WriteFileWindowKeys(out, s); });
    // A file whose taken-date page was never changed from its first
    // choices stays as it always was.
    const FileWindowSettings first;
    const bool asFirst = s.takenGroup == first.takenGroup &&
                         s.takenModified == first.takenModified &&
                         s.takenSkipUnknown == first.takenSkipUnknown;
    CSimpleIniA ini;
    if (error.empty() && asFirst) LoadForReading(iniPath, ini);
    if (error.empty() && (!asFirst || ini.GetSection(kTakenSection)))
        error = SaveSection(iniPath, kTakenSection,
                            [&](SectionWriter& out) { WriteTakenKeys(out, s); });
    return error;
}

std::string SaveFolderWindowSettings(const std::string& iniPath, const FolderWindowSettings& s) {
    return SaveSection(iniPath, kFolderSection,
                       [&](SectionWriter& out) { WriteFolderWindowKeys(out, s); });
}

}  // namespace zanfeld
