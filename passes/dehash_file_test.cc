#include "passes/dehash_file.h"

#include <gtest/gtest.h>

#include "common/scratch_folder_test.h"

namespace {

TEST(DehashFileTest, ReportsADataFileThatCannotBeReadAndWritesNoCopy) {
  // Gone between the look and the dehash pass, or a folder that took its
  // place (no data file to open): the message names it, and no copy stays.
  ScratchFolder scratch;
  std::filesystem::create_directory(scratch.dir / "folder.ymt");
  for (const char* name : {"gone", "folder"}) {
    const std::string path = (scratch.dir / name).string() + ".ymt";
    const std::string copy = (scratch.dir / name).string() + "_dehashed.ymt";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(DehashFile(path, copy, NameTable())) << name;
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(printed == "ERROR: Could not open file " + path + "\n" ||
                printed == "ERROR: Could not read file " + path + "\n")
        << printed;
    EXPECT_FALSE(std::filesystem::exists(copy)) << name;
  }
}

}  // namespace
