#pragma once

#include "SectionReader.h"
#include "SectionWriter.h"
#include "SettingsFile.h"

namespace zanfeld {

// The pages of each window: a stored page outside them is none.
inline constexpr int kFilePages = 7;
inline constexpr int kFolderPages = 3;

// The keys of the windows' sections, read and written alike for the
// windows' own sections and for plans. OutDir is read as it stands.
FileWindowSettings ReadFileWindowKeys(const SectionReader& in);
void WriteFileWindowKeys(SectionWriter& out, const FileWindowSettings& settings);
// The taken-date page's keys, which ReadFileWindowKeys reads from the same
// section (a plan's), and the window from a section of their own.
void ReadTakenKeys(const SectionReader& in, FileWindowSettings& settings);
void WriteTakenKeys(SectionWriter& out, const FileWindowSettings& settings);
FolderWindowSettings ReadFolderWindowKeys(const SectionReader& in);
void WriteFolderWindowKeys(SectionWriter& out, const FolderWindowSettings& settings);

}  // namespace zanfeld
