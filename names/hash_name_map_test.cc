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

}  // namespace
