#include "app/data_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DataFilesTest, TakesDataFilesButNotTheToolsOwn) {
  static const struct {
    std::string name;
    bool taken;
  } kCases[] = {
      {"data.xml", true},
      {"a.xml", true},  // a short name: the folder makes the path long
      {".xml", true},
      {"file.xmlx", true},  // four bytes from the last '.', as for a path
      {"Makefile", false},
      {"data.xml.bak", false},
      // The tool's own files.
      {"data.xml_tmp", false},
      {"data_dehashed.xml", false},
      {"_dehashed.ymt", false},
      {"data_dehashed.xml_tmp", false},
      // Close to them, but data files.
      {"data_dehashedX.xml", true},
      {"dehashed.xml", true},
      {"data_tmp.xml", true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.taken, IsWalkedDataFile(c.name)) << c.name;
  }
  // The walk's paths are the folder, one separator and the name, however
  // short the folder and however many separators it ends in.
  static const struct {
    std::string folder, root;
  } kRoots[] = {{"a/", "a"}, {"ab//", "ab"}, {"/", "/"}, {"a", "a"}};
  for (const auto& c : kRoots)
    EXPECT_EQ(c.root, WalkRoot(c.folder)) << c.folder;
}

}  // namespace
