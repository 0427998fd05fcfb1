#include "passes/repair_in_place.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>

#include "common/files.h"
#include "common/scratch_folder_test.h"

namespace {

namespace fs = std::filesystem;

TEST(RepairInPlaceTest, ReplacesOnlyAFileThatNeedsIt) {
#ifndef _WIN32
  // A fault that writes without end must not fill the disk.
  const rlimit kMaxFileSize = {size_t{1} << 24, size_t{1} << 24};
  setrlimit(RLIMIT_FSIZE, &kMaxFileSize);
#endif
  ScratchFolder scratch;
  const fs::path& dir = scratch.dir;
  const std::string path = (dir / "data.xml").string();
  std::ofstream(path, std::ios::binary) << "<0x1>\r\n";
  std::ofstream(path + "_tmp") << "left over from an earlier run, and longer";
#ifndef _WIN32
  // Windows refuses to replace a read-only file.
  fs::permissions(path, fs::perms::owner_read);
  // Run as root, the tool may meet a file of another user.
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(0, chown(path.c_str(), 1234, 5678));
  }
#endif
  RepairInPlace(path, OpenForReading(path));
  EXPECT_EQ("<UNK_MEMBER_0x1>\r\n", ReadFile(path));
  EXPECT_FALSE(fs::exists(path + "_tmp"));
#ifndef _WIN32
  // The repaired file keeps the data file's permissions, and its owner and
  // group where the tool may set them.
  EXPECT_EQ(fs::perms::owner_read, fs::status(path).permissions());
  struct stat owner;
  ASSERT_EQ(0, stat(path.c_str(), &owner));
  EXPECT_EQ(root ? 1234u : geteuid(), owner.st_uid);
  EXPECT_EQ(root ? 5678u : getegid(), owner.st_gid);
  // Nothing left to repair: the same file stays, with its links, and no
  // temporary file is made.
  fs::create_hard_link(path, dir / "link.xml");
  struct stat before, after;
  ASSERT_EQ(0, stat(path.c_str(), &before));
  RepairInPlace(path, OpenForReading(path));
  ASSERT_EQ(0, stat(path.c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(2u, after.st_nlink);
  EXPECT_FALSE(fs::exists(path + "_tmp"));
  // A bare tag that no piece starts with is left to complete mode.
  const std::string inside = (dir / "inside.xml").string();
  std::ofstream(inside, std::ios::binary) << "<a><0x1>\n";
  ASSERT_EQ(0, stat(inside.c_str(), &before));
  RepairInPlace(inside, OpenForReading(inside));
  ASSERT_EQ(0, stat(inside.c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino);
  RepairInPlace(inside, OpenForReading(inside), PassMode::kComplete);
  EXPECT_EQ("<a><UNK_MEMBER_0x1>\n", ReadFile(inside));
#endif

  // A path that cannot be replaced (a folder that holds a file) keeps what
  // it holds, and the repaired text stays in the temporary file.
  const std::string folder = (dir / "folder.xml").string();
  fs::create_directory(folder);
  std::ofstream(folder + "/inside") << "kept";
  std::ofstream(path + "2") << "</0x2>";
  testing::internal::CaptureStdout();
  RepairInPlace(folder, OpenForReading(path + "2"));
  EXPECT_EQ(
      "Attempting to fix invalid XML </0x2>"
      "ERROR: Could not rename file, check your file permissions.\n",
      testing::internal::GetCapturedStdout());
  EXPECT_EQ("kept", ReadFile(folder + "/inside"));
  EXPECT_EQ("</UNK_MEMBER_0x2>", ReadFile(folder + "_tmp"));
}

}  // namespace
