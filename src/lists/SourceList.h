#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace zanfeld {

// The ordered list of source paths of a sorting window, kept exactly as
// obtained. An index beside the list makes the absence test O(1).
class SourceList {
public:
    // Appends path unless an entry equal to it (PathKey rule) is listed.
    // Returns true when appended.
    bool AddIfAbsent(const std::string& path);
    // Appends without the absence rule (dropped files).
    void Append(const std::string& path);
    // Removes the entry at index; an index out of range changes nothing.
    void RemoveAt(size_t index);
    void Clear();

    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const std::string& at(size_t index) const { return m_entries[index]; }
    const std::vector<std::string>& entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
    std::unordered_map<std::string, size_t> m_count;  // key -> how many entries have it
};

}  // namespace zanfeld
