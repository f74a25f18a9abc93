// The sorted vectors that serve the in-memory machine as ordered maps and sets: key order
// whatever the order of insertion, no duplicate keys, and the prefix scan that finds a folder's
// or key's children.

#include <gtest/gtest.h>

#include "platform/sim/sorted_lookup.h"
#include "platform/types.h"

namespace {

CStringArray KeysOf(const SortedPairs<CString, int>& pairs) {
    CStringArray keys;
    for (const auto& pair : pairs) keys.push_back(pair.first);
    return keys;
}

TEST(SortedLookupTest, KeepsKeyOrderAndOneValuePerKey) {
    SortedPairs<CString, int> pairs;
    ValueAt(pairs, CString("C:\\B")) = 2;
    InsertIfAbsent(pairs, CString("C:\\A"), 1);
    ValueAt(pairs, CString("C:\\C")) = 3;
    InsertIfAbsent(pairs, CString("C:\\B"), 20);  // present: keeps 2
    ValueAt(pairs, CString("C:\\A")) += 10;        // present: the same value, not a new pair

    EXPECT_EQ(KeysOf(pairs), (CStringArray{"C:\\A", "C:\\B", "C:\\C"}));
    EXPECT_EQ(FindByKey(pairs, CString("C:\\A"))->second, 11);
    EXPECT_EQ(FindByKey(pairs, CString("C:\\B"))->second, 2);
    EXPECT_EQ(FindByKey(pairs, CString("C:\\AB")), pairs.end());
    EXPECT_FALSE(ContainsKey(pairs, CString("C:\\")));

    EXPECT_TRUE(EraseByKey(pairs, CString("C:\\B")));
    EXPECT_FALSE(EraseByKey(pairs, CString("C:\\B")));
    EXPECT_EQ(KeysOf(pairs), (CStringArray{"C:\\A", "C:\\C"}));
}

TEST(SortedLookupTest, LowerBoundStartsThePrefixScan) {
    SortedPairs<CString, int> pairs;
    for (const char* key : {"c:\\app", "c:\\app\\sub\\x", "c:\\app\\a", "c:\\apps\\b", "c:\\b"}) ValueAt(pairs, CString(key));
    const CString prefix = "c:\\app\\";
    CStringArray children;
    for (auto at = LowerBoundByKey(pairs, prefix); at != pairs.end() && at->first.compare(0, prefix.size(), prefix) == 0;
         ++at) {
        children.push_back(at->first);
    }
    EXPECT_EQ(children, (CStringArray{"c:\\app\\a", "c:\\app\\sub\\x"}));
}

TEST(SortedLookupTest, SetsHoldEachKeyOnce) {
    std::vector<std::pair<int, CString>> keys;
    for (const auto& key : {std::pair<int, CString>{2, "b"}, {1, "z"}, {2, "a"}, {1, "z"}}) InsertSorted(keys, key);
    EXPECT_EQ(keys, (std::vector<std::pair<int, CString>>{{1, "z"}, {2, "a"}, {2, "b"}}));
    EXPECT_TRUE(ContainsSorted(keys, std::pair<int, CString>{2, "a"}));
    EXPECT_FALSE(ContainsSorted(keys, std::pair<int, CString>{1, "a"}));
}

}  // namespace
