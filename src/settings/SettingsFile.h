#pragma once

#include <optional>
#include <string>
#include <vector>

#include "SortTypes.h"

namespace zanfeld {

// Section "Parameter": the file window's stored choices.
struct FileWindowSettings {
    std::string filter;                                    // Filter
    SameFilePolicy sameFilePolicy = SameFilePolicy::Skip;  // SameFile
    std::string outDir;                                    // OutDir, "" when not applied
    std::optional<int> page;                               // Page, only when 0 <= value < 7
    bool picHeight = false;                                // PicSize
    int cmbPic = 0;                                        // CmbPic (any value; -1 = no selection)
    std::string picSizeValue;                              // PicSizeValue
    int cmbCondition = 0;                                  // CmbCondition
    int cmbUnit = 0;                                       // CmbUnit
    std::string fileSize;                                  // FileSize
    std::string edtKeys;                                   // EdtKeys
    std::vector<std::string> suffixFilter;                 // SuffixFilter
    std::optional<CivilDate> dtDate;  // DTDate, none when missing or unreadable
    std::optional<TimeOfDay> dtTime;  // DTTime
    bool fileAttrModified = false;    // FileAttr
    int cmbFileDate = 0;              // CmbFileDate
    // The taken-date page.
    int takenGroup = 1;              // TakenGroup: TakenGroup's order, 2024/05 by default
    bool takenModified = false;      // TakenMTime: the modification time when nothing else
    bool takenSkipUnknown = false;   // TakenSkip: files without a date stay
};

// Section "Parameter2": the folder window's stored choices.
struct FolderWindowSettings {
    std::string filter;
    SameFilePolicy sameFilePolicy = SameFilePolicy::Skip;
    std::string outDir;
    std::optional<int> page;  // only when 0 <= value < 3
    std::string edtKeys;
    std::optional<CivilDate> dtDate;
    std::optional<TimeOfDay> dtTime;
    int cmbFileDate = 0;
};

// $XDG_CONFIG_HOME/Zanfeld.ini, or ~/.config/Zanfeld.ini.
std::string DefaultSettingsPath();

// defaultOutDir is OutDir on the first start (see DefaultOutputFolder).
FileWindowSettings LoadFileWindowSettings(const std::string& iniPath,
                                          const std::string& defaultOutDir);
FolderWindowSettings LoadFolderWindowSettings(const std::string& iniPath,
                                              const std::string& defaultOutDir);

// Rewrites one section, keeping every other section, key and comment; writes a
// temporary file and renames it into place. Returns "", or "Unable to write to
// <path>" when the file cannot be read or written, or a sentence in Chinese
// when the save is refused and the file left byte for byte as it was: the
// path leads to a device, pipe or socket, or the file holds a line the save
// could not keep (a NUL byte, a line that is no entry, section or comment).
std::string SaveFileWindowSettings(const std::string& iniPath, const FileWindowSettings& settings);
std::string SaveFolderWindowSettings(const std::string& iniPath,
                                     const FolderWindowSettings& settings);

}  // namespace zanfeld
