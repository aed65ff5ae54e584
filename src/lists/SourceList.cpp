#include "SourceList.h"

#include "PathKey.h"

namespace zanfeld {

bool SourceList::AddIfAbsent(const std::string& path) {
    auto [it, inserted] = m_count.try_emplace(PathKey(path), 0);
    if (!inserted) return false;
    it->second = 1;
    m_entries.push_back(path);
    return true;
}

void SourceList::Append(const std::string& path) {
    ++m_count[PathKey(path)];
    m_entries.push_back(path);
}

void SourceList::RemoveAt(size_t index) {
    if (index >= m_entries.size()) return;
    auto it = m_count.find(PathKey(m_entries[index]));
    if (it != m_count.end() && --it->second == 0) m_count.erase(it);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
}

void SourceList::Clear() {
    m_entries.clear();
    m_count.clear();
}

}  // namespace zanfeld
