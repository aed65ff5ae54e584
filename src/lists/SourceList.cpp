#include "SourceList.h"

#include <functional>
#include <string_view>

#include "PathKey.h"

namespace zanfeld {

namespace {

uint32_t HashOf(const std::string& key) {
    const size_t h = std::hash<std::string_view>()(key);
    return static_cast<uint32_t>(h ^ (h >> 32));
}

// The slot count for n keys: a power of two, at least twice n.
size_t SlotsFor(size_t n) {
    size_t slots = 16;
    while (slots < 2 * n) slots *= 2;
    return slots;
}

}  // namespace

bool SourceList::listed(const std::string& key, uint32_t hash) const {
    if (m_slots.empty()) return false;
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask; m_slots[i].entry != 0; i = (i + 1) & mask) {
        if (m_slots[i].hash == hash && PathKey(m_entries[m_slots[i].entry - 1]) == key) return true;
    }
    return false;
}

void SourceList::record(size_t position, uint32_t hash) {
    if (2 * (m_used + 1) > m_slots.size()) {
        // Grow: the stored hashes place every slot again without touching a path.
        std::vector<Slot> old(SlotsFor(m_used + 1));
        old.swap(m_slots);
        const size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.entry == 0) continue;
            size_t i = slot.hash & mask;
            while (m_slots[i].entry != 0) i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    while (m_slots[i].entry != 0) i = (i + 1) & mask;
    m_slots[i] = Slot{static_cast<uint32_t>(position + 1), hash};
    ++m_used;
}

void SourceList::rebuildIndex() {
    m_slots.assign(SlotsFor(m_entries.size()), Slot{});
    m_used = 0;
    m_stale = false;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const std::string key = PathKey(m_entries[i]);
        const uint32_t hash = HashOf(key);
        if (!listed(key, hash)) record(i, hash);
    }
}

bool SourceList::AddIfAbsent(const std::string& path) {
    if (m_stale) rebuildIndex();
    const std::string key = PathKey(path);
    const uint32_t hash = HashOf(key);
    if (listed(key, hash)) return false;
    m_entries.push_back(path);
    record(m_entries.size() - 1, hash);
    return true;
}

void SourceList::Append(const std::string& path) {
    if (m_stale) rebuildIndex();
    const std::string key = PathKey(path);
    const uint32_t hash = HashOf(key);
    const bool known = listed(key, hash);
    m_entries.push_back(path);
    if (!known) record(m_entries.size() - 1, hash);
}

void SourceList::RemoveAt(size_t index) {
    if (index >= m_entries.size()) return;
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    // The positions after index have moved; several removals in a row cost
    // one rebuild, at the next look-up.
    m_stale = true;
}

void SourceList::Clear() {
    std::vector<std::string>().swap(m_entries);
    std::vector<Slot>().swap(m_slots);
    m_used = 0;
    m_stale = false;
}

}  // namespace zanfeld
