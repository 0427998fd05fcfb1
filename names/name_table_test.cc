#include "names/name_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

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

// A slot tells whether its name could make a marker where it is put,
// without the name being read; the name itself comes back without the flag.
TEST(NameTableTest, FlagsTheNamesThatMayMakeAMarker) {
  const struct {
    const char* name;
    bool flagged;
  } cases[] = {
      {"", true},     {"x", true},     {"xy", true},  {"a0x", true},
      {"a0xb", true}, {"ax", false},   {"0", false},  {"a0", false},
      {"0ax", false}, {"a0yx", false}, {"X0", false}, {"a0X", false},
  };
  NameTable table;
  uint32_t hash = 0;
  for (const auto& c : cases) {
    ASSERT_TRUE(InsertName(&table, ++hash, c.name)) << c.name;
    const uint32_t offset = FindAndFetchName(table, hash);
    ASSERT_NE(kEmptySlot, offset);
    EXPECT_EQ(c.flagged, (offset & kMayMakeMarkerBit) != 0) << c.name;
    EXPECT_EQ(c.name, NameAt(table, offset));
  }
}

}  // namespace
