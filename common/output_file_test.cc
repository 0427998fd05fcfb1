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
// incomplete whichever it is.
TEST(OutputFileTest, ReportsAFullDisk) {
  for (size_t size : {size_t{10}, kOutputBufferSize + 1}) {
    OutputFile out;
    ASSERT_TRUE(OpenOutputFile(&out, "/dev/full"));
    WriteOutput(&out, std::string(size, 'x'));
    EXPECT_FALSE(CloseOutputFile(&out)) << size;
  }
}
#endif

}  // namespace
