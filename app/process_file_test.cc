#include "app/process_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathExtensionTest, TakesUpToFourBytesFromTheLastDot) {
  static const struct {
    std::string path;
    std::string extension;
    bool accepted;
  } kCases[] = {
      {"ab.xml", ".xml", true},
      {"a.xml", "", false},  // shorter than six bytes
      {"data.ymt", ".ymt", true},
      {"DATA.YMT", ".YMT", true},
      {"file.XML", ".XML", true},
      {"file.XmL", ".XmL", false},
      {"file.xm", ".xm", false},
      {"file.xmlx", ".xml", true},
      {"dir.xml/data", ".xml", true},
      {"dir.d/file", ".d/f", false},
      {"Makefile", "", false},
      {"/abs/path/x.ymt", ".ymt", true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.extension, PathExtension(c.path)) << c.path;
    EXPECT_EQ(c.accepted, IsDataFileExtension(PathExtension(c.path))) << c.path;
  }
}

}  // namespace
