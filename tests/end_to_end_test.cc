// Runs the real executable in a scratch folder and compares its console
// output and the files it leaves, byte for byte.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

using namespace std::string_literals;

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

struct ToolRun {
  int status;
  std::string output;
};

// Runs the tool in `dir` with `args`, feeding `input` on standard input.
ToolRun RunTool(const ScratchDir& dir, const std::vector<std::string>& args,
                const std::string& input = "\n") {
  const std::string in = dir.File(".stdin"), out = dir.File(".stdout");
  WriteFile(in, input);
  std::string command =
      "cd " + Quote(dir.path()) + " && " + Quote(QUORVANTIDE_EXE);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " < " + Quote(in) + " > " + Quote(out);
  int status = std::system(command.c_str());
  ToolRun run{status, ReadFile(out)};
  std::remove(in.c_str());
  std::remove(out.c_str());
  return run;
}

const char kAbcLine[] =
    "  <UNK_MEMBER_0xED131F5B>0xED131F5B</UNK_MEMBER_0xED131F5B>\n";

TEST(EndToEndTest, NoArgumentsShowsUsage) {
  ScratchDir dir;
  // Standard input at its end must not hang the prompt or change the status.
  ToolRun run = RunTool(dir, {}, "");
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(
      "Usage: Quorvantide.exe [path]filename1[ ...]\nPress Enter to "
      "exit...",
      run.output);
}

TEST(EndToEndTest, MissingMemberNamesTouchesNothing) {
  ScratchDir dir;
  WriteFile(dir.File("data.xml"), kAbcLine);
  ToolRun run = RunTool(dir, {"data.xml"});
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("ERROR: Could not find MemberNames.txt\nPress Enter to exit...",
            run.output);
  EXPECT_EQ(kAbcLine, ReadFile(dir.File("data.xml")));
  EXPECT_FALSE(FileExists(dir.File("data_dehashed.xml")));
}

TEST(EndToEndTest, ProcessesEachArgumentInOrder) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\r\n\nItem\n");
  WriteFile(dir.File("data.ymt"),
            std::string("<Root>\r\n") + kAbcLine +
                "  <UNK_MEMBER_0x12345678>0x00000000</UNK_MEMBER_0x12345678>\n"
                "  <Text>abc\0def</Text>\n</Root>"s);
  std::filesystem::create_directory(dir.File("folder.xml"));
  WriteFile(dir.File("a.xml"), kAbcLine);
  WriteFile(dir.File("notes.txt"), kAbcLine);
  WriteFile(dir.File("ab.XML"), "<x>0xED131F5B</x>\n");
  WriteFile(dir.File("file.xmlx"), kAbcLine);

  ToolRun run = RunTool(dir, {"data.ymt", "missing.xml", "folder.xml", "a.xml",
                              "notes.txt", "ab.XML", "file.xmlx", "ab.XML"});
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(
      "Generating hash map...\n"
      "WARNING: Could not find ArchiveItems.txt, only member names will be "
      "unhashed\n"
      "Processing file data.ymt\n"
      "ERROR: Could not open file missing.xml\n"
      "ERROR: Could not open file folder.xml\n"
      "Ignoring file a.xml\n"
      "Ignoring file notes.txt\n"
      "Processing file ab.XML\n"
      "Processing file file.xmlx\n"
      "Processing file ab.XML\n"
      "All files finished\nPress Enter to exit...",
      run.output);
  EXPECT_EQ(std::string("<Root>\n  <abc>abc</abc>\n") +
                "  <UNK_MEMBER_0x12345678>0x00000000</UNK_MEMBER_0x12345678>\n"
                "  <Text>abc\0def</Text>\n</Root>"s,
            ReadFile(dir.File("data_dehashed.ymt")));
  EXPECT_EQ("<x>abc</x>\n", ReadFile(dir.File("ab_dehashed.XML")));
  EXPECT_EQ("  <abc>abc</abc>\n", ReadFile(dir.File("file._dehashedxmlx")));
  EXPECT_FALSE(FileExists(dir.File("a_dehashed.xml")));
  EXPECT_FALSE(FileExists(dir.File("notes_dehashed.txt")));
}

TEST(EndToEndTest, ArchiveItemsResolveAndOddPathsPrintAsThemselves) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc");
  WriteFile(dir.File("ArchiveItems.txt"), "Prop_Crate\n");
  const std::string odd = "100% 'quoted' \"name\" %s.xml";
  WriteFile(dir.File(odd), "<a v=\"UNK_MEMBER_0x2D778433\">0x2D778433</a>\n");
  ToolRun run = RunTool(dir, {odd});
  EXPECT_EQ("Generating hash map...\nProcessing file " + odd +
                "\nAll files finished\nPress Enter to exit...",
            run.output);
  EXPECT_EQ("<a v=\"Prop_Crate\">Prop_Crate</a>\n",
            ReadFile(dir.File("100% 'quoted' \"name\" %s_dehashed.xml")));
}

TEST(EndToEndTest, RepairsBareTagsInPlaceThenDehashes) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\n");
  const std::string x99(99, 'x');
  WriteFile(dir.File("data.ymt"),
            "<Root>\r\n"
            "<0xED131F5B>0xED131F5B</0xED131F5B>\n"
            "  <0xED131F5B>indented</0xED131F5B>\n"
            "<0XED131F5B>capital</0XED131F5B>\n" +
                x99 + "<0xED131F5B/>\n" + "</0xED131F5B>");
  WriteFile(dir.File("plain.xml"), "<a>\r\n\0\x1a</a>\n"s);
  ToolRun run = RunTool(dir, {"data.ymt", "plain.xml"});
  EXPECT_EQ(
      "Generating hash map...\n"
      "WARNING: Could not find ArchiveItems.txt, only member names will be "
      "unhashed\n"
      "Processing file data.ymt\n"
      "Attempting to fix invalid XML <0xED131F5B>0xED131F5B</0xED131F5B>\n"
      "Attempting to fix invalid XML <0xED131F5B/>\n"
      // The last line has no line feed, and the message adds none.
      "Attempting to fix invalid XML </0xED131F5B>"
      "Processing file plain.xml\n"
      "All files finished\nPress Enter to exit...",
      run.output);
  EXPECT_EQ(
      "<Root>\n"
      "<UNK_MEMBER_0xED131F5B>0xED131F5B</0xED131F5B>\n"
      "  <0xED131F5B>indented</0xED131F5B>\n"
      "<0XED131F5B>capital</0XED131F5B>\n" +
          x99 + "<UNK_MEMBER_0xED131F5B/>\n" + "</UNK_MEMBER_0xED131F5B>",
      ReadFile(dir.File("data.ymt")));
  EXPECT_EQ(
      "<Root>\n"
      "<abc>abc</0xED131F5B>\n"
      "  <0xED131F5B>indented</0xED131F5B>\n"
      "<0XED131F5B>capital</0XED131F5B>\n" +
          x99 + "<abc/>\n" + "</abc>",
      ReadFile(dir.File("data_dehashed.ymt")));
  EXPECT_EQ("<a>\n\0\x1a</a>\n"s, ReadFile(dir.File("plain.xml")));
  EXPECT_FALSE(FileExists(dir.File("data.ymt_tmp")));
  EXPECT_FALSE(FileExists(dir.File("plain.xml_tmp")));
}

#ifndef _WIN32
// A repair or a copy that could not be completed is reported, the data file
// stays as it was, the incomplete file is removed, and the run goes on.
TEST(EndToEndTest, FailuresLeaveTheDataFileAsItWas) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\n");
  const std::string bare = "<0xED131F5B/>\r\n";
  for (const char* name : {"full.xml", "busy.xml", "copy.xml", "fine.xml"}) {
    WriteFile(dir.File(name), bare);
  }
  std::filesystem::create_symlink("/dev/full", dir.File("full.xml_tmp"));
  std::filesystem::create_directory(dir.File("busy.xml_tmp"));
  std::filesystem::create_symlink("/dev/full", dir.File("copy_dehashed.xml"));
  std::filesystem::create_symlink("/proc/self/mem", dir.File("mem.xml"));
  ToolRun run =
      RunTool(dir, {"full.xml", "busy.xml", "copy.xml", "mem.xml", "fine.xml"});
  const std::string fix = "Attempting to fix invalid XML <0xED131F5B/>\n";
  EXPECT_EQ(
      "Generating hash map...\n"
      "WARNING: Could not find ArchiveItems.txt, only member names will be "
      "unhashed\n"
      "Processing file full.xml\n" +
          fix +
          "ERROR: Could not write file full.xml_tmp\n"
          "Processing file busy.xml\n"
          "ERROR: Could not create file, check your folder write "
          "permissions.\n"
          "Processing file copy.xml\n" +
          fix +
          "ERROR: Could not write file copy_dehashed.xml\n"
          "Processing file mem.xml\n"
          "ERROR: Could not read file mem.xml\n"
          "ERROR: Could not read file mem.xml\n"
          "Processing file fine.xml\n" +
          fix + "All files finished\nPress Enter to exit...",
      run.output);
  // Unrepaired, but dehashed as they are.
  EXPECT_EQ(bare, ReadFile(dir.File("full.xml")));
  EXPECT_FALSE(FileExists(dir.File("full.xml_tmp")));
  EXPECT_EQ("<0xED131F5B/>\n", ReadFile(dir.File("full_dehashed.xml")));
  EXPECT_EQ(bare, ReadFile(dir.File("busy.xml")));
  EXPECT_EQ("<0xED131F5B/>\n", ReadFile(dir.File("busy_dehashed.xml")));
  // Repaired, but its copy could not be written.
  EXPECT_EQ("<UNK_MEMBER_0xED131F5B/>\n", ReadFile(dir.File("copy.xml")));
  EXPECT_FALSE(FileExists(dir.File("copy_dehashed.xml")));
  EXPECT_FALSE(FileExists(dir.File("mem.xml_tmp")));
  EXPECT_FALSE(FileExists(dir.File("mem_dehashed.xml")));
  EXPECT_EQ("<abc/>\n", ReadFile(dir.File("fine_dehashed.xml")));
}
#endif

}  // namespace
