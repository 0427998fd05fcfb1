#include "passes/dehash_file.h"

#include <gtest/gtest.h>

#include "common/scratch_folder_test.h"

namespace {

TEST(DehashFileTest, ReportsADataFileThatIsGoneAndWritesNoCopy) {
  // Gone between the look and the dehash pass: the message names it.
  ScratchFolder scratch;
  const std::string path = (scratch.dir / "gone.ymt").string();
  testing::internal::CaptureStdout();
  const std::string copy = (scratch.dir / "gone_dehashed.ymt").string();
  EXPECT_FALSE(DehashFile(path, copy, NameTable()));
  EXPECT_EQ("ERROR: Could not open file " + path + "\n",
            testing::internal::GetCapturedStdout());
  EXPECT_FALSE(std::filesystem::exists(copy));
}

}  // namespace
