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

}  // namespace
