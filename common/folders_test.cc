#include "common/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "common/scratch_folder_test.h"

namespace {

TEST(FolderTest, WhatIsNotThereIsNeitherListedNorKnown) {
  std::vector<FolderEntry> entries;
  EXPECT_FALSE(ListFolder("no such folder", &entries));
  EXPECT_TRUE(entries.empty());
  std::pair<uint64_t, uint64_t> id;
  EXPECT_FALSE(FileIdentity("no such folder", &id));
}

// The unit tests leave nothing behind: their folders go with all they hold.
TEST(FolderTest, AScratchFolderLeavesNothingBehind) {
  std::filesystem::path dir;
  {
    ScratchFolder scratch;
    dir = scratch.dir;
    std::filesystem::create_directory(dir / "sub");
    std::ofstream(dir / "sub" / "file.xml") << "<a/>";
  }
  EXPECT_FALSE(std::filesystem::exists(dir));
}

}  // namespace
