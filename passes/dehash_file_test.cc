#include "passes/dehash_file.h"

#include <gtest/gtest.h>

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

}  // namespace
