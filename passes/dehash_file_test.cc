#include "passes/dehash_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <random>
#include <string>

#include "common/platform.h"
#include "names/dehash_token.h"
#include "names/name_hash.h"
#include "tests/test_support.h"

namespace {

NameTable TestNames() {
  NameTable names;
  for (const char* name : {"abc", "a", "Item", "name with \"quote"}) {
    InsertName(&names, NameHash(name), name);
  }
  return names;
}

std::string Dehash(const NameTable& names, const std::string& chunk) {
  std::string scratch;
  return std::string(DehashChunk(names, chunk, &scratch));
}

TEST(DehashChunkTest, ResolvesTwoMembersAndOneValue) {
  const NameTable names = TestNames();
  const std::string x86(86, 'x');
  static const struct {
    std::string chunk;
    std::string expected;
  } kCases[] = {
      {"<UNK_MEMBER_0xED131F5B>0xED131F5B</UNK_MEMBER_0xED131F5B>\n",
       "<abc>abc</abc>\n"},
      {"<UNK_MEMBER_0x12345678>0x12345678</UNK_MEMBER_0x12345678>\n",
       "<UNK_MEMBER_0x12345678>0x12345678</UNK_MEMBER_0x12345678>\n"},
      // Only two member tokens per chunk, then the value.
      {"<UNK_MEMBER_0xED131F5B><UNK_MEMBER_0xCA2E9442><UNK_MEMBER_0xED131F5B>"
       "0xCA2E9442\n",
       "<abc><a><UNK_MEMBER_0xED131F5B>a\n"},
      // An unknown first member hides a known second one.
      {"<UNK_MEMBER_0x12345678><UNK_MEMBER_0xED131F5B>\n",
       "<UNK_MEMBER_0x12345678><UNK_MEMBER_0xED131F5B>\n"},
      // A short member token stays, and still hides the next.
      {"UNK_MEMBER_0xE UNK_MEMBER_0xED131F5B\n",
       "UNK_MEMBER_0xE UNK_MEMBER_0xED131F5B\n"},
      // Tokens end at a space, a "/", a tab; quotes and "<" stay in place.
      {"<UNK_MEMBER_0xED131F5B type=\"UNK_MEMBER_0xCA2E9442\"/>\n",
       "<abc type=\"a\"/>\n"},
      {"<UNK_MEMBER_0xED131F5B\tx/>\n", "<abc\tx/>\n"},
      {"<a>UNK_MEMBER_0xED131F5B</a>\n", "<a>abc</a>\n"},
      {"<v>0xED131F5B</v>\n", "<v>abc</v>\n"},
      {"<v>0xED131F5B 0xCA2E9442</v>\n", "<v>abc 0xCA2E9442</v>\n"},
      // Only the first ">0x" counts, and one after "=\"" is no value.
      {"<v>0x12345678</v><w>0xED131F5B</w>\n",
       "<v>0x12345678</v><w>0xED131F5B</w>\n"},
      {"<v x=\"0xED131F5B\"/>\n", "<v x=\"0xED131F5B\"/>\n"},
      // The value search sees the text after the member replacements.
      {"<UNK_MEMBER_0xED131F5B>0xCA2E9442</v>\n", "<abc>a</v>\n"},
      // A token cut by the chunk's end stays whole in the output.
      {x86 + "UNK_MEMBER_0x", x86 + "UNK_MEMBER_0x"},
      {"no hashes at all\r\n", "no hashes at all\r\n"},
      {"UNK_MEMBER_0x2A6D8B5A\n", "UNK_MEMBER_0x2A6D8B5A\n"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, Dehash(names, c.chunk)) << c.chunk;
  }
}

TEST(DehashChunkTest, GrowsAChunkToItsLongestWithoutLosingBytes) {
  NameTable names;
  const std::string long_name(99, 'n');
  InsertName(&names, 0xED131F5B, long_name);
  const std::string chunk =
      "UNK_MEMBER_0xED131F5B UNK_MEMBER_0xED131F5B >0xED131F5B tail";
  EXPECT_EQ(long_name + " " + long_name + " >" + long_name + " tail",
            Dehash(names, chunk));
}

TEST(DehashedPathTest, InsertsBeforeTheLastFourBytes) {
  static const struct {
    std::string path;
    std::string expected;
  } kCases[] = {
      {"data.ymt", "data_dehashed.ymt"},
      {"a/b.XML", "a/b_dehashed.XML"},
      {"name.xmlx", "name._dehashedxmlx"},
      {"dir.xml/data", "dir.xml/_dehasheddata"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, DehashedPath(c.path)) << c.path;
  }
}

// The rules of a chunk, written as plainly as possible: each search starts
// over at the chunk's start and runs on the text as it stands.
std::string ReferenceDehash(const NameTable& names, std::string text) {
  const bool cut = text.size() == kMaxChunkLength && text.back() != '\n';
  auto resolve = [&](size_t start, const char* stops) {
    size_t end = text.find_first_of(stops, start);
    if (end == std::string::npos) end = text.size();
    if (cut && end == text.size()) return false;
    TokenMatch match = DehashToken(names, text.substr(start, end - start));
    if (match.resolved) text.replace(start, match.hash_length, match.name);
    return match.resolved;
  };
  for (int pass = 0; pass < 2; ++pass) {
    size_t at = text.find("UNK_MEMBER_0x");
    if (at == std::string::npos || !resolve(at, ">/\n \t")) break;
  }
  size_t marker = text.find(">0x");
  if (marker != std::string::npos) resolve(marker + 1, "</\n \t");
  return text;
}

// The pass scans each chunk only once; it must agree with the plain rules,
// also for names that themselves hold markers, x's or parts of a marker.
TEST(DehashChunkTest, AgreesWithThePlainRules) {
  NameTable names;
  const char* const kNames[] = {"abc",
                                "UNK_MEMBER_0xED131F5B",
                                ">0xCA2E9442",
                                "index",
                                "x",
                                "UNK_MEMBER_",
                                "MEMBER_0",
                                ">0",
                                "UNK_MEMBER_0xCA2E9442 tail",
                                "a>0"};
  const uint32_t kHashes[] = {0xED131F5B, 0xCA2E9442, 0x1A2B3C4D, 0x00000000,
                              0x12345678, 0x0000000F, 0x000000FF, 0xFFFFFFFF,
                              0x000ABCDE, 0xC0FFEE00};
  for (size_t i = 0; i < std::size(kNames); ++i) {
    InsertName(&names, kHashes[i], kNames[i]);
  }
  static const char* const kPieces[] = {"UNK_MEMBER_0x",
                                        "UNK_MEMBER_",
                                        "0x",
                                        ">",
                                        "x",
                                        "ED131F5B",
                                        "CA2E9442",
                                        "1A2B3C4D",
                                        "00000000",
                                        "12345678",
                                        "F",
                                        "FF",
                                        "FFFFFFFF",
                                        "ABCDE",
                                        "C0FFEE00",
                                        "<",
                                        "/",
                                        " ",
                                        "\t",
                                        "\"",
                                        "z",
                                        "0",
                                        "-",
                                        "UNK_MEMBER_0"};
  std::mt19937 random(5);
  std::string scratch;
  int changed = 0;
  for (int round = 0; round < 200000; ++round) {
    std::string chunk;
    for (int n = 1 + random() % 24; n > 0; --n) {
      chunk += kPieces[random() % std::size(kPieces)];
    }
    if (chunk.size() > kMaxChunkLength) chunk.resize(kMaxChunkLength);
    const std::string expected = ReferenceDehash(names, chunk);
    changed += expected != chunk;
    ASSERT_EQ(expected, DehashChunk(names, chunk, &scratch))
        << "chunk: " << chunk;
  }
  EXPECT_GT(changed, 10000);  // the pieces do make names appear
}

// The dehashed copy must not depend on how the input was cut into reads.
TEST(DehashStreamTest, OutputDoesNotDependOnTheReadSize) {
  const NameTable names = TestNames();
  ScratchDir dir;
  const std::string input_path = dir.File("in.xml");
  const std::string output_path = dir.File("out.xml");
  const std::string input = MixedInput(7, 4000);
  WriteFile(input_path, input);
  std::string expected;
  for (size_t read_size :
       {kDefaultReadSize, size_t{1}, size_t{2}, size_t{3}, size_t{7},
        size_t{98}, size_t{99}, size_t{100}, size_t{101}, size_t{4096}}) {
    FILE* in = OpenForReading(input_path);
    ASSERT_NE(in, nullptr);
    ChunkReader reader;
    InitChunkReader(&reader, in, LineEnds::kSettle, read_size);
    OutputFile out;
    ASSERT_TRUE(OpenOutputFile(&out, output_path));
    DehashStream(names, &reader, &out);
    std::fclose(in);
    ASSERT_TRUE(CloseOutputFile(&out));
    std::string output = ReadFile(output_path);
    if (expected.empty()) {
      expected = output;
      EXPECT_NE(std::string::npos, expected.find("abc"));
    }
    EXPECT_EQ(expected, output) << "read size " << read_size;
  }
}

}  // namespace
