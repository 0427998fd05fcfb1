#include "passes/dehash_file.h"

#include <gtest/gtest.h>

#include "common/scratch_folder_test.h"

namespace {

TEST(DehashFileTest, CopyPathHasDehashedBeforeTheLastFourBytes) {
  static const struct {
    const char* path;
    const char* copy;
  } kCases[] = {
      {"props.ymt", "props_dehashed.ymt"},
      {"dir.v2/a.XML", "dir.v2/a_dehashed.XML"},
      {"name.xmlx", "name._dehashedxmlx"},
      // Four bytes or fewer: the whole path follows.
      {"abcd", "_dehashedabcd"},
      {"abc", "_dehashedabc"},
      {"", "_dehashed"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.copy, DehashedPath(c.path)) << c.path;
  }
}

TEST(DehashFileTest, ReportsADataFileThatIsGoneAndWritesNoCopy) {
  // Gone between the look and the dehash pass: the message names it.
  ScratchFolder scratch;
  const std::string path = (scratch.dir / "gone.ymt").string();
  testing::internal::CaptureStdout();
  EXPECT_FALSE(DehashFile(path, NameTable()));
  EXPECT_EQ("ERROR: Could not open file " + path + "\n",
            testing::internal::GetCapturedStdout());
  EXPECT_FALSE(std::filesystem::exists(DehashedPath(path)));
}

}  // namespace
