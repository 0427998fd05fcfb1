// Kills the real executable with SIGKILL at moments spread over its run and
// checks that the data file is, every time, either the original or the
// complete repaired file: never missing, never partial.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "tests/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// Starts the tool in `dir` on data.ymt, with no console.
pid_t StartTool(const ScratchDir& dir) {
  pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.path().c_str()) != 0) _exit(127);
    FILE* null_in = std::freopen("/dev/null", "r", stdin);
    FILE* null_out = std::freopen("/dev/null", "w", stdout);
    if (null_in == nullptr || null_out == nullptr) _exit(127);
    execl(QUORVANTIDE_EXE, QUORVANTIDE_EXE, "data.ymt",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

// Tens of megabytes of hashed XML with a bare tag on every 40th line.
std::string BigDataFile() {
  std::string data;
  for (int line = 0; data.size() < (24u << 20); ++line) {
    char text[96];
    std::snprintf(text, sizeof(text),
                  line % 40 == 0
                      ? "<0x%08X>%d</0x%08X>\r\n"
                      : "  <UNK_MEMBER_0x%08X>%d</UNK_MEMBER_0x%08X>\n",
                  line * 2654435761u, line, line * 2654435761u);
    data += text;
  }
  return data;
}

TEST(CrashKillTest, DataFileIsAlwaysWholeOldOrWholeNew) {
  ScratchDir dir;
  const std::string data_path = dir.File("data.ymt");
  const std::string original = BigDataFile();
  WriteFile(dir.File("MemberNames.txt"), "abc\n");

  // One undisturbed run gives the repaired file and the length of a run.
  WriteFile(data_path, original);
  const Clock::time_point start = Clock::now();
  ASSERT_EQ(0, Wait(StartTool(dir)));
  const auto run_time = Clock::now() - start;
  const std::string repaired = ReadFile(data_path);
  ASSERT_NE(original, repaired);

  constexpr int kRuns = 60;
  std::mt19937 random(2024);
  int saw_original = 0, saw_repaired = 0;
  for (int run = 0; run < kRuns; ++run) {
    WriteFile(data_path, original);
    std::remove((data_path + "_tmp").c_str());
    std::remove(dir.File("data_dehashed.ymt").c_str());
    // One kill in each slice of the run, at a random point of the slice,
    // and a few past its end.
    const double at =
        (run + std::uniform_real_distribution<>(0, 1)(random)) / (kRuns - 5);
    const pid_t pid = StartTool(dir);
    std::this_thread::sleep_for(run_time * at);
    kill(pid, SIGKILL);
    Wait(pid);

    ASSERT_TRUE(FileExists(data_path)) << "run " << run;
    const std::string now = ReadFile(data_path);
    ASSERT_TRUE(now == original || now == repaired)
        << "run " << run << ": the data file is partial (" << now.size()
        << " bytes)";
    (now == original ? saw_original : saw_repaired)++;
  }
  // The kills did land on both sides of the replacement.
  EXPECT_GT(saw_original, 0);
  EXPECT_GT(saw_repaired, 0);
}

}  // namespace
