#pragma once

#include <set>
#include <string>

#include "IniScan.h"
#include "SimpleIniA.h"

namespace zanfeld {

// Writes the keys of one section, and remembers which it wrote.
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

}  // namespace zanfeld
