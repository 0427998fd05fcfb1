#include "passes/repair_in_place.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/platform.h"
#include "tests/test_support.h"

namespace {

using namespace std::string_literals;

// The repaired copy of `input`, read through reads of `read_size` bytes.
std::string Repaired(const std::string& input,
                     size_t read_size = kDefaultReadSize) {
  ScratchDir dir;
  WriteFile(dir.File("in.xml"), input);
  FILE* in = OpenForReading(dir.File("in.xml"));
  EXPECT_NE(in, nullptr);
  if (in == nullptr) return "";
  ChunkReader reader;
  InitChunkReader(&reader, in, LineEnds::kSettle, read_size);
  OutputFile out;
  EXPECT_TRUE(OpenOutputFile(&out, dir.File("out.xml")));
  RepairStream(&reader, &out);
  std::fclose(in);
  EXPECT_TRUE(CloseOutputFile(&out));
  return ReadFile(dir.File("out.xml"));
}

TEST(RepairStreamTest, PrefixesBareTagsAtAChunkStart) {
  const std::string x99(99, 'x');
  static const struct {
    std::string input;
    std::string expected;
  } kCases[] = {
      {"<0xED131F5B>abc</0xED131F5B>\n</0xED131F5B>\n",
       "<UNK_MEMBER_0xED131F5B>abc</0xED131F5B>\n</UNK_MEMBER_0xED131F5B>\n"},
      // Only the very start counts.
      {"  <0xED131F5B>\n\t</0xED131F5B>\n",
       "  <0xED131F5B>\n\t</0xED131F5B>\n"},
      {"</0>\n</0a\n", "</UNK_MEMBER_0>\n</UNK_MEMBER_0a\n"},
      {"<0X12>\n< 0x12>\n<0\n<0", "<0X12>\n< 0x12>\n<0\n<0"},
      {"<0x", "<UNK_MEMBER_0x"},
      // The second piece of a long line starts a chunk of its own.
      {x99 + "<0x1>\n", x99 + "<UNK_MEMBER_0x1>\n"},
      // Line ends settle to LF; every other byte is kept.
      {"<0x1>\r\n\0\x1a\r"s, "<UNK_MEMBER_0x1>\n\0\x1a\r"s},
      {"", ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(TextMode(c.expected), Repaired(c.input)) << c.input;
  }
}

// Whatever the read size, the copy is the input with each CR LF settled and
// each prefix where a chunk begins with a bare tag: taking the prefixes out
// again gives the settled input back.
TEST(RepairStreamTest, OnlyInsertsPrefixesWhateverTheReadSize) {
  const std::string input = MixedInput(11, 5000);
  std::string settled;
  for (const std::string& chunk : ChunksOf(input, kDefaultReadSize)) {
    settled += chunk;
  }
  const std::string expected = Repaired(input);
  EXPECT_NE(std::string::npos, expected.find("\n<UNK_MEMBER_0x"));
  std::string stripped = expected;
  for (size_t at;
       (at = stripped.find("UNK_MEMBER_0x1A2B3C4D")) != std::string::npos;) {
    stripped.erase(at, 11);
  }
  EXPECT_EQ(TextMode(settled), stripped);
  for (size_t read_size : {1, 2, 3, 50, 99, 100, 101, 333}) {
    EXPECT_EQ(expected, Repaired(input, read_size)) << read_size;
  }
}

TEST(RepairInPlaceTest, ReplacesTheFileOrLeavesItAsItWas) {
  ScratchDir dir;
  const std::string path = dir.File("data.xml");
  WriteFile(path, "<0x1>\n");
  WriteFile(path + "_tmp", "left over from an earlier run, and longer\n");
  RepairInPlace(path, OpenForReading(path));
  EXPECT_EQ(TextMode("<UNK_MEMBER_0x1>\n"), ReadFile(path));
  EXPECT_FALSE(FileExists(path + "_tmp"));

  // A path that cannot be replaced (a folder that holds a file) keeps what
  // it holds, and the repaired text of the stream stays in the temporary
  // file.
  const std::string folder = dir.File("folder.xml");
  std::filesystem::create_directory(folder);
  WriteFile(folder + "/inside", "kept");
  WriteFile(path, "<0x1>\n");
  RepairInPlace(folder, OpenForReading(path));
  EXPECT_EQ("kept", ReadFile(folder + "/inside"));
  EXPECT_EQ(TextMode("<UNK_MEMBER_0x1>\n"), ReadFile(folder + "_tmp"));
}

}  // namespace
