#pragma once
// Lookups in sorted vectors, which serve the in-memory machine as its ordered maps and sets: the
// vector and the standard algorithms are header-only and so compiled with the program's own
// flags, where the ordered containers' balancing comes prebuilt. A map is a vector of key and
// value pairs sorted by key, a set a sorted vector of keys; both iterate in key order.

#include <algorithm>
#include <utility>
#include <vector>

template <class Key, class Value>
using SortedPairs = std::vector<std::pair<Key, Value>>;

// The first pair whose key is not less than key.
template <class Pairs, class Key>
auto LowerBoundByKey(Pairs& pairs, const Key& key) {
    return std::lower_bound(pairs.begin(), pairs.end(), key,
                            [](const auto& pair, const Key& wanted) { return pair.first < wanted; });
}

// The pair with key, or end.
template <class Pairs, class Key>
auto FindByKey(Pairs& pairs, const Key& key) {
    const auto at = LowerBoundByKey(pairs, key);
    return at != pairs.end() && !(key < at->first) ? at : pairs.end();
}

template <class Pairs, class Key>
bool ContainsKey(const Pairs& pairs, const Key& key) {
    return FindByKey(pairs, key) != pairs.end();
}

// The value of key, inserted value-initialised where the key is absent.
template <class Pairs, class Key>
auto& ValueAt(Pairs& pairs, const Key& key) {
    auto at = LowerBoundByKey(pairs, key);
    if (at == pairs.end() || key < at->first) at = pairs.insert(at, {key, {}});
    return at->second;
}

// Adds the pair where the key is absent; a present key keeps its value.
template <class Pairs, class Key, class Value>
void InsertIfAbsent(Pairs& pairs, const Key& key, Value&& value) {
    const auto at = LowerBoundByKey(pairs, key);
    if (at == pairs.end() || key < at->first) pairs.insert(at, {key, std::forward<Value>(value)});
}

// Whether a pair with key was there to be removed.
template <class Pairs, class Key>
bool EraseByKey(Pairs& pairs, const Key& key) {
    const auto at = FindByKey(pairs, key);
    if (at == pairs.end()) return false;
    pairs.erase(at);
    return true;
}

template <class Keys, class Key>
void InsertSorted(Keys& keys, const Key& key) {
    const auto at = std::lower_bound(keys.begin(), keys.end(), key);
    if (at == keys.end() || key < *at) keys.insert(at, key);
}

template <class Keys, class Key>
bool ContainsSorted(const Keys& keys, const Key& key) {
    return std::binary_search(keys.begin(), keys.end(), key);
}
