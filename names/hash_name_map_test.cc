#include "names/hash_name_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "names/name_hash.h"
#include "tests/test_support.h"

namespace {

// Loads the two lists from a scratch working directory, as the tool does.
NameTable Load(const std::string& member_names, const char* archive_items) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), member_names);
  if (archive_items) WriteFile(dir.File("ArchiveItems.txt"), archive_items);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  NameTable table;
  FILE* members = std::fopen("MemberNames.txt", "rb");
  EXPECT_NE(members, nullptr);
  if (members) {
    LoadHashNameMap(members, &table);
    std::fclose(members);
  }
  std::filesystem::current_path(previous);
  return table;
}

std::string Lookup(const NameTable& table, uint32_t hash) {
  std::string_view name;
  return FindName(table, hash, &name) ? std::string(name) : "<none>";
}

TEST(HashNameMapTest, LoadsBothListsFirstNameWinning) {
  const std::string x99(99, 'x'), y150(150, 'y');
  NameTable table = Load("abc\nABC\n\n abc\t\nabc\nwin\r\nlone\rcr\n" + x99 +
                             "\n" + y150 + "\nlast",
                         "ABC\nDef\nabc\n\nWIN\n");
  EXPECT_EQ("abc", Lookup(table, NameHash("abc")));
  EXPECT_EQ("ABC", Lookup(table, NameHash("ABC")));
  EXPECT_EQ(" abc\t", Lookup(table, NameHash(" abc\t")));
  EXPECT_EQ("win", Lookup(table, NameHash("win")));
  EXPECT_EQ("lone\rcr", Lookup(table, NameHash("lone\rcr")));
  EXPECT_EQ(x99, Lookup(table, NameHash(x99)));
  EXPECT_EQ(std::string(99, 'y'),
            Lookup(table, NameHash(std::string(99, 'y'))));
  EXPECT_EQ(std::string(51, 'y'),
            Lookup(table, NameHash(std::string(51, 'y'))));
  EXPECT_EQ("last", Lookup(table, NameHash("last")));
  // Archive items are hashed lower-cased but kept in their own case; a
  // member name of the same hash was there first.
  EXPECT_EQ("Def", Lookup(table, ArchiveItemHash("Def")));
  EXPECT_EQ("abc", Lookup(table, ArchiveItemHash("ABC")));
  EXPECT_EQ("win", Lookup(table, ArchiveItemHash("WIN")));
  // Empty lines, and the line feed after a 99-byte line, add nothing.
  EXPECT_EQ("<none>", Lookup(table, 0));
  EXPECT_EQ(10u, table.count);
}

TEST(HashNameMapTest, WorksWithoutArchiveItems) {
  NameTable table = Load("abc\n", nullptr);
  EXPECT_EQ("abc", Lookup(table, 0xED131F5B));
  EXPECT_EQ(1u, table.count);
}

}  // namespace
