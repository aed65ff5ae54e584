#pragma once

#include <optional>
#include <string>

#include "FileOps.h"
#include "IntParse.h"
#include "PathNames.h"
#include "SimpleIniA.h"
#include "SortTypes.h"
#include "StoredValues.h"

namespace zanfeld {

// Reads the keys of one section, each with its fallback.
class SectionReader {
  public:
    SectionReader(const CSimpleIniA& ini, const char* section) : m_ini(ini), m_section(section) {}

    bool has(const char* key) const { return m_ini.GetValue(m_section, key, nullptr) != nullptr; }
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


}  // namespace zanfeld
