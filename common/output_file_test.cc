#include "common/output_file.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"

namespace {

// Small writes gather in the buffer; one larger than the buffer goes out
// directly; both keep their order.
TEST(OutputFileTest, WritesEveryByteInOrder) {
  ScratchDir dir;
  const std::string path = dir.File("out");
  const std::string big(kOutputBufferSize + 12345, 'b');
  OutputFile out;
  ASSERT_TRUE(OpenOutputFile(&out, path, /*durable=*/true));
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    WriteOutput(&out, "line\n");
    expected += "line\n";
  }
  WriteOutput(&out, big);
  WriteOutput(&out, "end");
  ASSERT_TRUE(CloseOutputFile(&out));
  EXPECT_TRUE(TextMode(expected + big + "end") == ReadFile(path));
}

#ifndef _WIN32
// A full disk fails the writes, the close, or both: the file is reported
// incomplete whichever it is, after a small write, after the buffer filled
// up, and after a write larger than the buffer.
TEST(OutputFileTest, ReportsAFullDisk) {
  const std::string line(1000, 'x');
  for (size_t pieces : {size_t{1}, kOutputBufferSize / line.size() + 2}) {
    OutputFile out;
    ASSERT_TRUE(OpenOutputFile(&out, "/dev/full"));
    for (size_t i = 0; i < pieces; ++i) WriteOutput(&out, line);
    EXPECT_FALSE(CloseOutputFile(&out)) << pieces;
  }
  OutputFile out;
  ASSERT_TRUE(OpenOutputFile(&out, "/dev/full"));
  WriteOutput(&out, std::string(kOutputBufferSize + 1, 'x'));
  EXPECT_FALSE(CloseOutputFile(&out));
}
#endif

}  // namespace
