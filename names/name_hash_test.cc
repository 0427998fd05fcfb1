#include "names/name_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Expected values were computed by hand-checked arithmetic in a separate
// script; "The quick brown fox..." is the published one-at-a-time value.
TEST(NameHashTest, MatchesGoldenValues) {
  static const struct {
    std::string name;
    uint32_t member_hash;
    uint32_t archive_hash;
  } kCases[] = {
      {"", 0x00000000, 0x00000000},
      {"a", 0xCA2E9442, 0xCA2E9442},
      {"abc", 0xED131F5B, 0xED131F5B},
      {"ABC", 0xBF6856E1, 0xED131F5B},
      {"MixedCase_Name", 0xCE03197B, 0xCE01DEED},
      {"The quick brown fox jumps over the lazy dog", 0x519E91F5, 0x2D1643CE},
      // Bytes from 0x80 count as negative; tolower leaves them alone.
      {"\xff", 0xAE65A494, 0xAE65A494},
      {"\xe9t\xe9", 0x8C711B75, 0x8C711B75},
      {"caf\xc3\xa9", 0xD99C709E, 0xD99C709E},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.member_hash, NameHash(c.name)) << c.name;
    EXPECT_EQ(c.archive_hash, ArchiveItemHash(c.name)) << c.name;
  }
}

}  // namespace
