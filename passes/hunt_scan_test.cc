#include "passes/hunt_scan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "common/scratch_folder_test.h"
#include "names/name_hash.h"

namespace {

TEST(HuntScanTest, PassesOverARunLongerThanARead) {
  // A run of word bytes of more than a read (a blob in a program, say) is
  // no name; the words after it still are.
  ScratchFolder scratch;
  const auto path = scratch.dir / "blob.bin";
  std::ofstream(path, std::ios::binary)
      << "before " << std::string((size_t{3} << 20) + 5, 'q') << " after\n";
  FILE* file = std::fopen(path.string().c_str(), "rb");
  ASSERT_NE(nullptr, file);
  NameTable words;
  EXPECT_TRUE(CollectWords(file, &words));
  std::fclose(file);
  EXPECT_EQ(2u, words.count);
  std::string_view found;
  EXPECT_TRUE(FindName(words, NameHash("before"), &found));
  EXPECT_TRUE(FindName(words, NameHash("after"), &found));
}

TEST(HuntScanTest, TriesEachWordOfAFileOnce) {
  // More distinct words than the file's set of them first holds: a word met
  // again after the set grew is not tried again.
  ScratchFolder scratch;
  std::string words;
  for (int i = 0; i < 1000; ++i) words += " word" + std::to_string(i);
  const auto once = scratch.dir / "once.xml", twice = scratch.dir / "twice.xml";
  std::ofstream(once, std::ios::binary) << "<UNK_MEMBER_0x00000001/>" << words;
  std::ofstream(twice, std::ios::binary)
      << "<UNK_MEMBER_0x00000001/>" << words << words;
  NameHunt first, second;
  ASSERT_TRUE(HuntDataFile(once.string(), NameTable(), &first, false));
  ASSERT_TRUE(HuntDataFile(twice.string(), NameTable(), &second, false));
  ASSERT_EQ(1u, first.variants.size());
  ASSERT_EQ(1u, second.variants.size());
  EXPECT_GT(first.variants[0].tries, 1000.0);
  EXPECT_EQ(first.variants[0].tries, second.variants[0].tries);
}

}  // namespace
