#include "names/hash_name_map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

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

TEST(ListLoadTest, CountsThePartsOfTheNamesAsTheyLoad) {
  // Members that fill the room made for them, then archive items whose size
  // is not known beforehand where pipes exist: the arena moves while the
  // members' parts are being counted (the count lags behind the read).
  std::string member_bytes, item_bytes;
  for (int i = 0; i < 40000; ++i) {
    member_bytes += "read" + std::to_string(i % 97) + "Part_value\n";
  }
  for (int i = 0; i < 3000; ++i) {
    item_bytes += "prop_crate" + std::to_string(i % 13) + "\n";
  }
  ScratchFolder scratch;
  FILE* members = ListFile(scratch.dir / "MemberNames.txt", member_bytes);
#ifdef _WIN32
  FILE* items = ListFile(scratch.dir / "ArchiveItems.txt", item_bytes);
#else
  // Fewer bytes than a pipe holds, written before the load begins.
  int ends[2];
  ASSERT_EQ(0, pipe(ends));
  ASSERT_EQ(static_cast<ssize_t>(item_bytes.size()),
            write(ends[1], item_bytes.data(), item_bytes.size()));
  close(ends[1]);
  FILE* items = fdopen(ends[0], "rb");
#endif
  ASSERT_NE(nullptr, members);
  ASSERT_NE(nullptr, items);
  NameTable table;
  Vocabulary counted;
  ListLoad load;
  load.vocabulary = &counted;
  StartListLoad(members, items, &table, &load);
  FinishVocabularyCount(&load);
  ASSERT_TRUE(load.read);
  Vocabulary expected;
  CountTableParts(table, &expected);
  ASSERT_EQ(expected.parts.size(), counted.parts.size());
  for (size_t i = 0; i < expected.parts.size(); ++i) {
    const VocabularyPart &want = expected.parts[i], &got = counted.parts[i];
    EXPECT_EQ(want.text, got.text);
    EXPECT_EQ(want.count, got.count) << want.text;
    EXPECT_EQ(want.starts + want.ends, got.starts + got.ends) << want.text;
  }
  for (size_t i = 0; i < kJointCount; ++i) {
    EXPECT_EQ(expected.joints[i], counted.joints[i]);
  }
  ASSERT_FALSE(counted.parts.empty());
  EXPECT_EQ("read", counted.parts[0].text);
  EXPECT_EQ(40000u, counted.parts[0].count);
}

}  // namespace
