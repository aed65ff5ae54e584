#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zanfeld {

// The ordered list of source paths of a sorting window, kept exactly as
// obtained. An index beside the list makes the absence test O(1); it holds
// positions, not paths, so a list of a million paths keeps each path once.
class SourceList {
  public:
    // Appends path unless an entry equal to it (PathKey rule) is listed.
    // Returns true when appended.
    bool AddIfAbsent(const std::string& path);
    // Appends without the absence rule (dropped files).
    void Append(const std::string& path);
    // Removes the entry at index; an index out of range changes nothing.
    void RemoveAt(size_t index);
    // Removes every entry and gives their memory back.
    void Clear();

    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const std::string& at(size_t index) const { return m_entries[index]; }
    const std::vector<std::string>& entries() const { return m_entries; }

  private:
    // One slot of the open-addressing index: the position of the first entry
    // with a key, plus one (0 marks a free slot), and the key's hash.
    struct Slot {
        uint32_t entry = 0;
        uint32_t hash = 0;
    };

    // Whether an entry with this key is listed.
    bool listed(const std::string& key, uint32_t hash) const;
    // Records position under hash; the key must not be indexed yet.
    void record(size_t position, uint32_t hash);
    // Builds the index afresh from the entries (after removals shifted them).
    void rebuildIndex();

    std::vector<std::string> m_entries;
    std::vector<Slot> m_slots;  // a power of two in size, at most half in use
    size_t m_used = 0;
    bool m_stale = false;  // entries were removed; rebuilt before the next look-up
};

}  // namespace zanfeld
