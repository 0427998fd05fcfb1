#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "common/chunk_reader.h"

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  const testing::TestInfo* test =
      testing::UnitTest::GetInstance()->current_test_info();
  std::string name =
      test ? std::string(test->test_suite_name()) + "." + test->name()
           : "scratch";
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  fs::path dir = fs::temp_directory_path() / "quorvantide-tests" /
                 (name + "." + std::to_string(std::random_device{}()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  path_ = dir.string();
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

// Joined as bytes: a round trip through std::filesystem::path would convert
// a name outside the ASCII range on Windows, and might change it.
std::string ScratchDir::File(const std::string& name) const {
  return path_ + "/" + name;
}

void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

std::string TextMode(const std::string& text) {
#ifdef _WIN32
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
#else
  return text;
#endif
}

std::vector<std::string> ChunksOf(const std::string& contents,
                                  size_t read_size, LineEnds line_ends) {
  ScratchDir dir;
  std::string path = dir.File("input");
  WriteFile(path, contents);
  FILE* file = std::fopen(path.c_str(), "rb");
  EXPECT_NE(file, nullptr);
  std::vector<std::string> chunks;
  if (file == nullptr) return chunks;
  ChunkReader reader;
  InitChunkReader(&reader, file, line_ends, read_size);
  std::string_view chunk;
  while (ReadChunk(&reader, &chunk)) chunks.emplace_back(chunk);
  EXPECT_FALSE(reader.read_error);
  std::fclose(file);
  return chunks;
}

std::string MixedInput(unsigned seed, size_t size) {
  static constexpr std::string_view kPieces[] = {
      "\n",
      "\r\n",
      "\r",
      "\r\r\n",
      std::string_view("\0", 1),
      "\x1a",
      "  <Item>",
      "</Item>",
      "<0x1A2B3C4D>",
      "</0x1A2B3C4D>",
      "UNK_MEMBER_0xED131F5B",
      "UNK_MEMBER_0x",
      ">0xED131F5B<",
      ">0x00000000<",
      " type=\"UNK_MEMBER_0xCA2E9442\"",
      "text ",
      "\t"};
  constexpr size_t kCount = sizeof(kPieces) / sizeof(kPieces[0]);
  std::mt19937 random(seed);
  std::string out;
  while (out.size() < size) {
    size_t pick = random() % (kCount + 1);
    if (pick == kCount) {
      out.append(random() % 150, 'x');  // long lines cross chunk limits
    } else {
      out += kPieces[pick];
    }
  }
  return out;
}
