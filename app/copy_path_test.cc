#include "app/copy_path.h"

#include <gtest/gtest.h>

#include "common/folders.h"

namespace {

TEST(CopyPathTest, BesideTheDataFileOrUnderTheFolderOfCopies) {
  const std::string s(1, kPathSeparator);
  static const struct {
    std::string out, path, folder, copy;
  } kCases[] = {
      // Beside: "_dehashed" before the path's last four bytes.
      {"", "props.ymt", "", "props_dehashed.ymt"},
      {"", "dir.v2/a.XML", "", "dir.v2/a_dehashed.XML"},
      {"", "name.xmlx", "", "name._dehashedxmlx"},
      {"", "abcd", "", "_dehashedabcd"},  // four bytes or fewer
      {"", "", "", "_dehashed"},
      // A file argument: its name, as it is.
      {"out", "props/a.ymt", "", "out" + s + "a.ymt"},
      {"out/", "a.ymt", "", "out" + s + "a.ymt"},
      // A folder argument: its own name, then the path below it.
      {"out", "props" + s + "a.ymt", "props",
       "out" + s + "props" + s + "a.ymt"},
      {"out", "data/props" + s + "x" + s + "a.ymt", "data/props/",
       "out" + s + "props" + s + "x" + s + "a.ymt"},
  };
  for (const auto& c : kCases) {
    CopyPlaces places;
    places.out = c.out;
    EXPECT_EQ(c.copy, CopyPath(places, c.path, c.folder)) << c.path;
  }
}

}  // namespace
