// The table behind the run's sets and maps of names: numbers stay with their strings through
// every growth of the table, and only equal bytes match.

#include <gtest/gtest.h>

#include "text/string_index.h"

TEST(StringIndex, KeepsNumbersThroughGrowth) {
    StringIndex index;
    EXPECT_EQ(index.Find("a"), StringIndex::npos);
    // Enough strings to grow the table several times, with keys that differ only in letter
    // case or by a byte past a common start.
    for (int n = 0; n < 300; ++n) {
        const auto [number, added] = index.Insert("c:\\app\\file" + std::to_string(n));
        EXPECT_TRUE(added);
        EXPECT_EQ(number, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(index.Insert("c:\\app\\file7"), std::make_pair(std::size_t{7}, false));
    for (int n = 0; n < 300; ++n) EXPECT_EQ(index.Find("c:\\app\\file" + std::to_string(n)), static_cast<std::size_t>(n));
    EXPECT_FALSE(index.Contains("C:\\APP\\FILE7"));
    EXPECT_FALSE(index.Contains("c:\\app\\file"));
    EXPECT_FALSE(index.Contains(std::string("c:\\app\\file7\0", 13)));
    EXPECT_EQ(index.Size(), 300u);
}

TEST(StringMap, ErasesByKeyAndKeepsTheOrder) {
    StringMap<int> map;
    for (const char* key : {"hklm\\a", "hklm\\a\\b", "hkcu\\a", "hklm\\ab"}) map[key] = static_cast<int>(map.Size());
    map["hkcu\\a"] += 10;
    map.EraseKeysIf([](const CString& key) { return key.compare(0, 7, "hklm\\a\\") == 0 || key == "hklm\\a"; });
    ASSERT_EQ(map.Size(), 2u);
    EXPECT_EQ(map.KeyAt(0), "hkcu\\a");
    EXPECT_EQ(map.ValueAt(0), 12);
    EXPECT_EQ(map.KeyAt(1), "hklm\\ab");
    EXPECT_EQ(map.Find("hklm\\a"), nullptr);
    ASSERT_NE(map.Find("hklm\\ab"), nullptr);
    EXPECT_EQ(*map.Find("hklm\\ab"), 3);
}
