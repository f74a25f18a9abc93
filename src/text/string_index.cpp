#include "text/string_index.h"

namespace {

constexpr std::size_t kFirstSlots = 16;

// FNV-1a over the bytes.
std::uint32_t HashOf(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (const char byte : text) hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
    return hash;
}

}  // namespace

std::size_t StringIndex::SlotOf(std::string_view text) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = HashOf(text) & mask;
    while (m_slots[slot] != 0 && m_strings[m_slots[slot] - 1] != text) slot = (slot + 1) & mask;
    return slot;
}

std::size_t StringIndex::Find(std::string_view text) const {
    if (m_slots.empty()) return npos;
    const std::uint32_t entry = m_slots[SlotOf(text)];
    return entry == 0 ? npos : entry - 1;
}

std::pair<std::size_t, bool> StringIndex::Insert(std::string_view text) {
    if (const std::size_t number = Find(text); number != npos) return {number, false};
    if ((m_strings.size() + 1) * 2 > m_slots.size()) {
        m_slots.assign(m_slots.empty() ? kFirstSlots : m_slots.size() * 2, 0);
        for (std::size_t number = 0; number < m_strings.size(); ++number) {
            m_slots[SlotOf(m_strings[number])] = static_cast<std::uint32_t>(number + 1);
        }
    }
    const std::size_t slot = SlotOf(text);
    m_strings.emplace_back(text);
    m_slots[slot] = static_cast<std::uint32_t>(m_strings.size());
    return {m_strings.size() - 1, true};
}
