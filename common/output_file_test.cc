#include "common/output_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/scratch_folder_test.h"

namespace {

// An output that writes to `file`, as OpenOutputFile would set it up.
OutputFile OutputTo(FILE* file) {
  return OutputFile{file, std::unique_ptr<char[]>(new char[kOutputBufferSize])};
}

TEST(OutputFileTest, WritesInOrderAcrossHandedBuffers) {
  // Several buffers' worth in pieces of uneven sizes, so that full buffers
  // go to the writing thread while the next ones fill.
  std::string expected;
  for (size_t i = 0; expected.size() < 3 * kOutputBufferSize + 12345; ++i) {
    expected += std::to_string(i) + std::string(i % 97, 'a' + i % 26) + "\n";
  }
  // tmpfile() may not write where Windows puts it.
  ScratchFolder scratch;
  FILE* file = std::fopen((scratch.dir / "output").string().c_str(), "w+b");
  ASSERT_NE(nullptr, file);
  OutputFile out = OutputTo(file);
  // Some pieces go to the file straight, after the buffered ones.
  for (size_t at = 0, piece = 1, i = 0; at < expected.size(); at += piece) {
    piece = (piece * 7 + 3) % 70000 + 1;
    (++i % 3 == 0 ? WriteOutputThrough : WriteBytes)(
        &out, std::string_view(expected).substr(at, piece));
  }
  // A text file on Windows gets CR LF for each line feed, also where the
  // bytes after the last one go out, and also when they would go straight.
  out.crlf = true;
  WriteOutput(&out, "x\ny\n\nz");
  WriteOutputThrough(&out, "\nw");
  expected += "x\r\ny\r\n\r\nz\r\nw";
  FlushOutputFile(&out);
  std::rewind(file);
  std::string written(expected.size() + 1, '\0');
  written.resize(std::fread(&written[0], 1, written.size(), file));
  EXPECT_TRUE(written == expected) << written.size() << " bytes written";
  EXPECT_TRUE(CloseOutputFile(&out));
}

}  // namespace
