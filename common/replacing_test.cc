#include "common/replacing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "common/scratch_folder_test.h"

namespace {

#ifdef __linux__
size_t OpenDescriptors() {
  const std::filesystem::directory_iterator fds("/proc/self/fd");
  return std::distance(begin(fds), end(fds));
}
#endif

TEST(RenameOverTest, ReplacesTheFileAndLetsGoOfTheOldOne) {
  ScratchFolder scratch;
  const std::string from = (scratch.dir / "new").string();
  const std::string to = (scratch.dir / "old").string();
  std::ofstream(from) << "new";
  std::ofstream(to) << "old, and longer";
#ifdef __linux__
  const size_t before = OpenDescriptors();
#endif
  ASSERT_TRUE(RenameOver(from, to));
  EXPECT_FALSE(std::filesystem::exists(from));
  EXPECT_EQ("new", ReadFile(to));
#ifdef __linux__
  // The old file is let go of on a thread of its own: wait for it, but
  // not forever.
  for (int wait = 0; wait < 1000 && OpenDescriptors() != before; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(before, OpenDescriptors());
#endif
  EXPECT_FALSE(RenameOver(from, to));  // nothing left to move
}

}  // namespace
