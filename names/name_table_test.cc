#include "names/name_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// Grows through many rehashes, with clustered keys; the first name for a
// hash stays, every name stays reachable and every absent key absent.
TEST(NameTableTest, KeepsTheFirstNameOfEveryHash) {
  NameTable table;
  std::string_view name;
  EXPECT_FALSE(FindName(table, 0, &name));
  EXPECT_FALSE(InsertName(&table, 9, std::string(kMaxNameLength + 1, 'n')));
  std::unordered_map<uint32_t, std::string> expected;
  std::mt19937 random(42);
  for (uint32_t i = 0; i < 300000; ++i) {
    // Keys that differ only in their high bits, random ones, and old ones.
    uint32_t hash = i % 3 == 0 ? i << 16 : i % 3 == 1 ? random() : i / 2 << 16;
    std::string name = std::string("n\0", 2) + std::to_string(i);
    ASSERT_EQ(expected.emplace(hash, name).second,
              InsertName(&table, hash, name));
  }
  EXPECT_EQ(expected.size(), table.count);
  for (const auto& [hash, want] : expected) {
    ASSERT_TRUE(FindName(table, hash, &name) && want == name) << hash;
  }
  for (int i = 0; i < 10000; ++i) {
    uint32_t hash = random();
    EXPECT_EQ(expected.count(hash) != 0, FindName(table, hash, &name));
  }
}

// A slot tells whether its name could make a marker where it is put: an
// empty name, an "x" first or a "0x" in it. The name comes back without it.
TEST(NameTableTest, FlagsTheNamesThatMayMakeAMarker) {
  const std::vector<std::string> flagged = {"", "x", "xy", "a0x", "a0xb"};
  const std::vector<std::string> plain = {"ax",   "0",  "a0", "0ax",
                                          "a0yx", "X0", "a0X"};
  NameTable table;
  uint32_t hash = 0;
  for (const auto* names : {&flagged, &plain}) {
    for (const std::string& name : *names) {
      ASSERT_TRUE(InsertName(&table, ++hash, name)) << name;
      const uint32_t offset = FindAndFetchName(table, hash);
      EXPECT_EQ(names == &flagged, (offset & kMayMakeMarkerBit) != 0) << name;
      EXPECT_EQ(name, NameAt(table, offset));
    }
  }
}

}  // namespace
