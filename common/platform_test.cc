#include "common/platform.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A console that records what is done to it.
struct FakeConsole {
  static bool console;
  static unsigned page;
  static bool refuse;
  static std::vector<unsigned> set_calls;
  static ConsoleCodePage Api() {
    return ConsoleCodePage{[] { return console; }, [] { return page; },
                           [](unsigned to) {
                             set_calls.push_back(to);
                             if (refuse) return false;
                             page = to;
                             return true;
                           }};
  }
};
bool FakeConsole::console;
unsigned FakeConsole::page;
bool FakeConsole::refuse;
std::vector<unsigned> FakeConsole::set_calls;

TEST(ConsoleTest, UsesUtf8ForTheRunAndPutsBackThePageItFound) {
  static const struct {
    bool console;
    unsigned page;
    bool refuse;
    unsigned returned;                // by UseUtf8Console
    std::vector<unsigned> set_calls;  // by it and RestoreConsole
  } kCases[] = {
      {true, 850, false, 850, {65001, 850}},
      {true, 1252, false, 1252, {65001, 1252}},
      // Output redirected: nothing changes.
      {false, 850, false, 0, {}},
      // Already UTF-8: nothing to change or put back.
      {true, 65001, false, 0, {}},
      // The console refuses: nothing to put back.
      {true, 850, true, 0, {65001}},
  };
  for (const auto& c : kCases) {
    FakeConsole::console = c.console;
    FakeConsole::page = c.page;
    FakeConsole::refuse = c.refuse;
    FakeConsole::set_calls.clear();
    const unsigned found = UseUtf8Console(FakeConsole::Api());
    EXPECT_EQ(c.returned, found) << c.page;
    // For the run, the console is UTF-8 whenever it was changed.
    EXPECT_EQ(c.returned != 0 ? 65001u : c.page, FakeConsole::page);
    RestoreConsole(FakeConsole::Api(), found);
    EXPECT_EQ(c.set_calls, FakeConsole::set_calls) << c.page;
    EXPECT_EQ(c.page, FakeConsole::page) << c.page;
  }
  // Elsewhere than on Windows there is no console code page to touch.
#ifndef _WIN32
  EXPECT_FALSE(SystemConsole().is_console());
#endif
}

TEST(FolderTest, AFolderThatCannotBeListedSaysSo) {
  std::vector<FolderEntry> entries;
  EXPECT_FALSE(ListFolder("no such folder", &entries));
  EXPECT_TRUE(entries.empty());
}

}  // namespace
