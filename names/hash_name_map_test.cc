#include "names/hash_name_map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/scratch_folder_test.h"
#include "names/name_hash.h"

namespace {

namespace fs = std::filesystem;

// A binary file holding `bytes`, open for reading. (tmpfile() may not
// write where Windows puts it.)
FILE* ListFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return std::fopen(path.string().c_str(), "rb");
}

TEST(LoadNameListsTest, FindsEveryNameOfListsLongerThanAReadBlock) {
  // Lists of many kilobytes, so that their names reach the arena in several
  // blocks; CR LF and LF line ends, an empty line, no final line feed.
  std::vector<std::string> members, items;
  std::string member_bytes, item_bytes;
  for (int i = 0; i < 6000; ++i) {
    members.push_back("memberName_" + std::to_string(i * 7919));
    member_bytes += members.back() + (i % 3 == 0 ? "\r\n" : "\n");
    if (i == 100) member_bytes += "\n";
  }
  for (int i = 0; i < 3000; ++i) {
    items.push_back("prop_item_" + std::to_string(i));
    item_bytes += items.back() + (i + 1 < 3000 ? "\n" : "");
  }
  ScratchFolder scratch;
  FILE* member_file = ListFile(scratch.dir / "MemberNames.txt", member_bytes);
  FILE* item_file = ListFile(scratch.dir / "ArchiveItems.txt", item_bytes);
  ASSERT_NE(nullptr, member_file);
  ASSERT_NE(nullptr, item_file);

  NameTable table;
  const char* unread = nullptr;
  ASSERT_TRUE(LoadNameLists(member_file, item_file, &table, &unread));
  std::fclose(member_file);
  std::fclose(item_file);

  EXPECT_EQ(members.size() + items.size(), table.count);
  std::string_view found;
  for (const std::string& name : members) {
    ASSERT_TRUE(FindName(table, NameHash(name), &found)) << name;
    EXPECT_EQ(name, found);
  }
  for (const std::string& name : items) {
    ASSERT_TRUE(FindName(table, ArchiveItemHash(name), &found)) << name;
    EXPECT_EQ(name, found);
  }
}

#ifndef _WIN32  // Windows' C library reads a stream open for writing as empty
TEST(LoadNameListsTest, AListThatCannotBeReadIsNamed) {
  // A stream open for writing only fails every read, as a disk that fails
  // would: the list is not taken for a short one.
  ScratchFolder scratch;
  const fs::path good = scratch.dir / "good.txt";
  const fs::path bad = scratch.dir / "bad.txt";
  std::ofstream(good, std::ios::binary) << "abc\n";
  for (bool members_fail : {true, false}) {
    FILE* unreadable = std::fopen(bad.string().c_str(), "wb");
    FILE* readable = std::fopen(good.string().c_str(), "rb");
    ASSERT_NE(nullptr, unreadable);
    ASSERT_NE(nullptr, readable);
    NameTable table;
    const char* unread = nullptr;
    EXPECT_FALSE(LoadNameLists(members_fail ? unreadable : readable,
                               members_fail ? readable : unreadable, &table,
                               &unread));
    EXPECT_STREQ(members_fail ? "MemberNames.txt" : "ArchiveItems.txt", unread);
    std::fclose(unreadable);
    std::fclose(readable);
  }
}
#endif

}  // namespace
