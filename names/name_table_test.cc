#include "names/name_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <unordered_map>

namespace {

TEST(NameTableTest, FirstNameForAHashStays) {
  NameTable table;
  std::string_view name;
  EXPECT_FALSE(FindName(table, 0, &name));
  EXPECT_TRUE(InsertName(&table, 0, "zero"));
  EXPECT_TRUE(InsertName(&table, 7, std::string("a\0b", 3)));
  EXPECT_FALSE(InsertName(&table, 0, "other"));
  ASSERT_TRUE(FindName(table, 0, &name));
  EXPECT_EQ("zero", name);
  ASSERT_TRUE(FindName(table, 7, &name));
  EXPECT_EQ(std::string("a\0b", 3), name);
  EXPECT_FALSE(FindName(table, 1, &name));
  EXPECT_FALSE(InsertName(&table, 9, std::string(kMaxNameLength + 1, 'n')));
  EXPECT_EQ(2u, table.count);
}

// Grows through many rehashes and with clustered keys; every name must stay
// reachable and every absent key absent.
TEST(NameTableTest, KeepsEveryNameThroughGrowth) {
  NameTable table;
  std::unordered_map<uint32_t, std::string> expected;
  std::mt19937 random(42);
  for (int i = 0; i < 200000; ++i) {
    // Half the keys differ only in their high bits, half are random.
    uint32_t hash = i % 2 ? static_cast<uint32_t>(i) << 16 : random();
    std::string name = "name" + std::to_string(i);
    bool fresh = expected.emplace(hash, name).second;
    EXPECT_EQ(fresh, InsertName(&table, hash, name));
  }
  EXPECT_EQ(expected.size(), table.count);
  std::string_view name;
  for (const auto& [hash, want] : expected) {
    ASSERT_TRUE(FindName(table, hash, &name)) << hash;
    ASSERT_EQ(want, name);
  }
  for (int i = 0; i < 10000; ++i) {
    uint32_t hash = random();
    EXPECT_EQ(expected.count(hash) != 0, FindName(table, hash, &name));
  }
}

}  // namespace
