#include "common/chunk_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

using Chunks = std::vector<std::string>;

std::string Repeat(char c, size_t n) { return std::string(n, c); }

TEST(ChunkReaderTest, CutsLinesAtLineFeedsAndTheLengthLimit) {
  const std::string x98 = Repeat('x', 98), x99 = Repeat('x', 99);
  static const struct {
    std::string input;
    Chunks expected;
  } kCases[] = {
      {"", {}},
      {"\n", {"\n"}},
      {"a\nb", {"a\n", "b"}},
      {"a\n\nb\n", {"a\n", "\n", "b\n"}},
      // CR LF reads as one line feed; a CR on its own is data.
      {"a\r\nb\r\n", {"a\n", "b\n"}},
      {"a\rb\n", {"a\rb\n"}},
      {"a\r", {"a\r"}},
      {"\r\r\n\r", {"\r\n", "\r"}},
      // NUL and 0x1A are ordinary bytes.
      {std::string("a\0b\n\x1a", 5), {std::string("a\0b\n", 4), "\x1a"}},
      // The limit of 99 bytes, with the line feed counted.
      {x98 + "\n", {x98 + "\n"}},
      {x99 + "\n", {x99, "\n"}},
      {x99 + x99 + "yz", {x99, x99, "yz"}},
      // A CR LF straddling the limit still counts as one byte.
      {x98 + "\r\n", {x98 + "\n"}},
      {x99 + "\r\n", {x99, "\n"}},
      {x98 + "\r" + "z", {x98 + "\r", "z"}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, ChunksOf(c.input, kDefaultReadSize))
        << "input: " << c.input;
  }
}

// However the bytes arrive, refill boundaries must not show in the chunks.
TEST(ChunkReaderTest, ChunksDoNotDependOnTheReadSize) {
  for (unsigned seed = 1; seed <= 3; ++seed) {
    const std::string input = MixedInput(seed, 3000);
    const Chunks expected = ChunksOf(input, kDefaultReadSize);
    std::string joined;
    for (const std::string& chunk : expected) {
      ASSERT_LE(chunk.size(), kMaxChunkLength);
      joined += chunk;
    }
    std::string without_crlf;
    for (size_t i = 0; i < input.size(); ++i) {
      if (!(input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n')) {
        without_crlf += input[i];
      }
    }
    ASSERT_EQ(without_crlf, joined) << "seed " << seed;
    for (size_t read_size = 1; read_size <= 260; ++read_size) {
      ASSERT_EQ(expected, ChunksOf(input, read_size))
          << "seed " << seed << ", read size " << read_size;
    }
  }
}

#ifndef _WIN32
// The Windows C library reports no error for reading a write-only stream.
TEST(ChunkReaderTest, ReportsAReadError) {
  ScratchDir dir;
  const std::string path = dir.File("write-only");
  WriteFile(path, "data\n");
  FILE* file = std::fopen(path.c_str(), "ab");  // reading it fails
  ASSERT_NE(file, nullptr);
  ChunkReader reader;
  InitChunkReader(&reader, file);
  std::string_view chunk;
  EXPECT_FALSE(ReadChunk(&reader, &chunk));
  EXPECT_TRUE(reader.read_error);
  std::fclose(file);
}
#endif

}  // namespace
