#pragma once
// Strings numbered in the order they were added, found again by a hash of their bytes: the
// sets and maps of names that a run keeps (folded paths, section names, the dry run's overlay).
// One table for every key and value type: the standard library's hash containers, instantiated
// for each, cost the shipped program kilobytes that its size limit does not have.

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "text/c_string.h"

class StringIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // The number of the text, or npos.
    std::size_t Find(std::string_view text) const;
    bool Contains(std::string_view text) const { return Find(text) != npos; }
    // The number of the text, and whether it was added now (as number Size() - 1).
    std::pair<std::size_t, bool> Insert(std::string_view text);

    std::size_t Size() const { return m_strings.size(); }
    bool Empty() const { return m_strings.empty(); }
    const CString& At(std::size_t number) const { return m_strings[number]; }

private:
    // The slot that holds the text's number, or the free slot where it would go.
    std::size_t SlotOf(std::string_view text) const;

    CStringArray m_strings;
    // Number + 1 of a string, 0 where free; a power of two of slots, never more than half used.
    std::vector<std::uint32_t> m_slots;
};

// A value for each string of an index, default-made when the string is added.
template <class Value>
class StringMap {
public:
    Value* Find(std::string_view key) {
        const std::size_t number = m_keys.Find(key);
        return number == StringIndex::npos ? nullptr : &m_values[number];
    }
    const Value* Find(std::string_view key) const {
        const std::size_t number = m_keys.Find(key);
        return number == StringIndex::npos ? nullptr : &m_values[number];
    }
    Value& operator[](std::string_view key) {
        const auto [number, added] = m_keys.Insert(key);
        if (added) m_values.emplace_back();
        return m_values[number];
    }

    // Removes the pairs whose key the predicate accepts; the others keep their order.
    template <class Predicate>
    void EraseKeysIf(Predicate erase) {
        StringMap kept;
        for (std::size_t number = 0; number < Size(); ++number) {
            if (!erase(KeyAt(number))) kept[KeyAt(number)] = std::move(m_values[number]);
        }
        *this = std::move(kept);
    }

    std::size_t Size() const { return m_values.size(); }
    bool Empty() const { return m_values.empty(); }
    const CString& KeyAt(std::size_t number) const { return m_keys.At(number); }
    Value& ValueAt(std::size_t number) { return m_values[number]; }
    const Value& ValueAt(std::size_t number) const { return m_values[number]; }

private:
    StringIndex m_keys;
    std::vector<Value> m_values;
};
