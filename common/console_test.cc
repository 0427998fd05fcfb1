#include "common/console.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
