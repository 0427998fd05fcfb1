#include "common/platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/scratch_folder_test.h"

namespace {

// A console that records what is done to it.
bool console;
unsigned page;
bool refuse;
std::vector<unsigned> set_calls;

const ConsoleCodePage kFakeConsole = {[] { return console; },
                                      [] { return page; },
                                      [](unsigned to) {
                                        set_calls.push_back(to);
                                        if (!refuse) page = to;
                                        return !refuse;
                                      }};

TEST(ConsoleTest, UsesUtf8ForTheRunAndPutsBackThePageItFound) {
  static const struct {
    bool console, refuse;
    unsigned page;
    unsigned returned;                // by UseUtf8Console
    std::vector<unsigned> set_calls;  // by it and RestoreConsole
  } kCases[] = {
      {true, false, 850, 850, {65001, 850}},
      {true, false, 1252, 1252, {65001, 1252}},
      {false, false, 850, 0, {}},     // output redirected: nothing changes
      {true, false, 65001, 0, {}},    // already UTF-8
      {true, true, 850, 0, {65001}},  // refused: nothing to put back
  };
  for (const auto& c : kCases) {
    console = c.console;
    refuse = c.refuse;
    page = c.page;
    set_calls.clear();
    const unsigned found = UseUtf8Console(kFakeConsole);
    EXPECT_EQ(c.returned, found) << c.page;
    // For the run, the console is UTF-8 whenever it was changed.
    EXPECT_EQ(c.returned != 0 ? 65001u : c.page, page);
    RestoreConsole(kFakeConsole, found);
    EXPECT_EQ(c.set_calls, set_calls) << c.page;
    EXPECT_EQ(c.page, page) << c.page;
  }
}

TEST(FolderTest, AFolderThatCannotBeListedSaysSo) {
  std::vector<FolderEntry> entries;
  EXPECT_FALSE(ListFolder("no such folder", &entries));
  EXPECT_TRUE(entries.empty());
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
