#include "common/chunk_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Chunks = std::vector<std::string>;

// Every chunk of `contents`. (The fuzzer's checks, run as a test too, read
// in batches and at every read size.)
Chunks ChunksOf(const std::string& contents, LineEnds line_ends) {
  FILE* file = std::tmpfile();
  std::fwrite(contents.data(), 1, contents.size(), file);
  std::rewind(file);
  ChunkReader reader;
  InitChunkReader(&reader, file, line_ends);
  Chunks chunks;
  for (std::string_view chunk; ReadChunk(&reader, &chunk);) {
    chunks.emplace_back(chunk);
  }
  std::fclose(file);
  return chunks;
}

TEST(ChunkReaderTest, CutsLinesAtLineFeedsAndTheLengthLimit) {
  const std::string x98(98, 'x'), x99(99, 'x');
  static const struct {
    std::string input;
    Chunks settled;  // as text mode reads them
    Chunks kept;     // with the file's own line ends
  } kCases[] = {
      // A CR LF is one line feed; a CR on its own is data.
      {"a\r\nb\rc\r", {"a\n", "b\rc\r"}, {"a\r\n", "b\rc\r"}},
      {"\r\r\n\r", {"\r\n", "\r"}, {"\r\r\n", "\r"}},
      // The limit of 99 characters, a CR LF counting as one of them.
      {x99 + "\n" + x99 + "yz", {x99, "\n", x99, "yz"}, {x99, "\n", x99, "yz"}},
      {x98 + "\r\n", {x98 + "\n"}, {x98 + "\r\n"}},
      {x99 + "\r\n", {x99, "\n"}, {x99, "\r\n"}},
      {x98 + "\rz", {x98 + "\r", "z"}, {x98 + "\r", "z"}},
      {x98 + "\r\r\n", {x98 + "\r", "\n"}, {x98 + "\r", "\r\n"}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.settled, ChunksOf(c.input, LineEnds::kSettle)) << c.input;
    EXPECT_EQ(c.kept, ChunksOf(c.input, LineEnds::kKeep)) << c.input;
  }
}

}  // namespace
