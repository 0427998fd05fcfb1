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

#ifdef _WIN32
// Windows file names hold no double quote, so quoting is plain; the command
// goes to cmd.exe.
std::string Quote(const std::string& arg) { return "\"" + arg + "\""; }

// Under Wine the build's own paths are Unix paths; Wine shows the Unix root
// as drive Z.
std::string ToolPath() {
  std::string path = QUORVANTIDE_EXE;
  if (!path.empty() && path[0] == '/') {
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    path = "Z:" + path;
  }
  return path;
}

const char kChangeDirectory[] = "cd /d ";
#else
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

std::string ToolPath() { return QUORVANTIDE_EXE; }

const char kChangeDirectory[] = "cd ";
#endif

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
      kChangeDirectory + Quote(dir.path()) + " && " + Quote(ToolPath());
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
  EXPECT_EQ(TextMode("Usage: Quorvantide.exe [path]filename1[ ...]\nPress "
                     "Enter to exit..."),
            run.output);
}

TEST(EndToEndTest, MissingMemberNamesTouchesNothing) {
  ScratchDir dir;
  WriteFile(dir.File("data.xml"), kAbcLine);
  ToolRun run = RunTool(dir, {"data.xml"});
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(
      TextMode("ERROR: Could not find MemberNames.txt\nPress Enter to exit..."),
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
      TextMode(
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
          "All files finished\nPress Enter to exit..."),
      run.output);
  EXPECT_EQ(
      TextMode("<Root>\n  <abc>abc</abc>\n"
               "  <UNK_MEMBER_0x12345678>0x00000000</UNK_MEMBER_0x12345678>\n"
               "  <Text>abc\0def</Text>\n</Root>"s),
      ReadFile(dir.File("data_dehashed.ymt")));
  EXPECT_EQ(TextMode("<x>abc</x>\n"), ReadFile(dir.File("ab_dehashed.XML")));
  EXPECT_EQ(TextMode("  <abc>abc</abc>\n"),
            ReadFile(dir.File("file._dehashedxmlx")));
  EXPECT_FALSE(FileExists(dir.File("a_dehashed.xml")));
  EXPECT_FALSE(FileExists(dir.File("notes_dehashed.txt")));
}

TEST(EndToEndTest, ArchiveItemsResolveAndOddPathsPrintAsThemselves) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc");
  WriteFile(dir.File("ArchiveItems.txt"), "Prop_Crate\n");
#ifdef _WIN32
  // Windows names hold no double quote, and cmd.exe reads %name% as a
  // variable, so a lone % stands here.
  const std::string odd = "100% 'quoted' name.xml";
#else
  const std::string odd = "100% 'quoted' \"name\" %s.xml";
#endif
  // Outside the ASCII range, and outside any one-byte code page.
  const std::string wide = "donn\xc3\xa9\x65s-\xe4\xb8\xad.xml";
  const std::string data = "<a v=\"UNK_MEMBER_0x2D778433\">0x2D778433</a>\n";
  WriteFile(dir.File(odd), data);
  WriteFile(dir.File(wide), data);
  ToolRun run = RunTool(dir, {odd, wide});
  EXPECT_EQ(TextMode("Generating hash map...\nProcessing file " + odd +
                     "\nProcessing file " + wide +
                     "\nAll files finished\nPress Enter to exit..."),
            run.output);
  const std::string dehashed = TextMode("<a v=\"Prop_Crate\">Prop_Crate</a>\n");
  EXPECT_EQ(dehashed, ReadFile(dir.File(odd.substr(0, odd.size() - 4) +
                                        "_dehashed.xml")));
  EXPECT_EQ(dehashed,
            ReadFile(dir.File("donn\xc3\xa9\x65s-\xe4\xb8\xad_dehashed.xml")));
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
      TextMode(
          "Generating hash map...\n"
          "WARNING: Could not find ArchiveItems.txt, only member names will be "
          "unhashed\n"
          "Processing file data.ymt\n"
          "Attempting to fix invalid XML <0xED131F5B>0xED131F5B</0xED131F5B>\n"
          "Attempting to fix invalid XML <0xED131F5B/>\n"
          // The last line has no line feed, and the message adds none.
          "Attempting to fix invalid XML </0xED131F5B>"
          "Processing file plain.xml\n"
          "All files finished\nPress Enter to exit..."),
      run.output);
  EXPECT_EQ(
      TextMode("<Root>\n"
               "<UNK_MEMBER_0xED131F5B>0xED131F5B</0xED131F5B>\n"
               "  <0xED131F5B>indented</0xED131F5B>\n"
               "<0XED131F5B>capital</0XED131F5B>\n" +
               x99 + "<UNK_MEMBER_0xED131F5B/>\n" + "</UNK_MEMBER_0xED131F5B>"),
      ReadFile(dir.File("data.ymt")));
  EXPECT_EQ(TextMode("<Root>\n"
                     "<abc>abc</0xED131F5B>\n"
                     "  <0xED131F5B>indented</0xED131F5B>\n"
                     "<0XED131F5B>capital</0XED131F5B>\n" +
                     x99 + "<abc/>\n" + "</abc>"),
            ReadFile(dir.File("data_dehashed.ymt")));
  EXPECT_EQ(TextMode("<a>\n\0\x1a</a>\n"s), ReadFile(dir.File("plain.xml")));
  EXPECT_FALSE(FileExists(dir.File("data.ymt_tmp")));
  EXPECT_FALSE(FileExists(dir.File("plain.xml_tmp")));
}

// The temporary file cannot be created where a folder has its name: the
// data file is dehashed as it stands, unrepaired.
TEST(EndToEndTest, TemporaryFileThatCannotBeCreated) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\n");
  WriteFile(dir.File("busy.xml"), "<0xED131F5B/>\r\n");
  std::filesystem::create_directory(dir.File("busy.xml_tmp"));
  ToolRun run = RunTool(dir, {"busy.xml"});
  EXPECT_EQ(
      TextMode("Generating hash map...\n"
               "WARNING: Could not find ArchiveItems.txt, only member names "
               "will be unhashed\n"
               "Processing file busy.xml\n"
               "ERROR: Could not create file, check your folder write "
               "permissions.\n"
               "All files finished\nPress Enter to exit..."),
      run.output);
  EXPECT_EQ("<0xED131F5B/>\r\n", ReadFile(dir.File("busy.xml")));
  EXPECT_EQ(TextMode("<0xED131F5B/>\n"),
            ReadFile(dir.File("busy_dehashed.xml")));
}

#ifdef _WIN32
// The Windows build writes text-mode files and console lines (CR LF), reads
// CR LF as one line feed, keeps a lone CR, and reads a 0x1A byte as data
// where the C library's text mode would end the file.
TEST(EndToEndTest, WindowsLineEndsAndControlBytes) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\r\n");
  WriteFile(dir.File("data.xml"),
            "<0xED131F5B>\r\n\x1a\rkept\n</0xED131F5B>\n"s);
  ToolRun run = RunTool(dir, {"data.xml"});
  EXPECT_EQ(
      "Generating hash map...\r\n"
      "WARNING: Could not find ArchiveItems.txt, only member names will be "
      "unhashed\r\n"
      "Processing file data.xml\r\n"
      "Attempting to fix invalid XML <0xED131F5B>\r\n"
      "Attempting to fix invalid XML </0xED131F5B>\r\n"
      "All files finished\r\nPress Enter to exit...",
      run.output);
  EXPECT_EQ(
      "<UNK_MEMBER_0xED131F5B>\r\n\x1a\rkept\r\n</UNK_MEMBER_0xED131F5B>\r\n",
      ReadFile(dir.File("data.xml")));
  EXPECT_EQ("<abc>\r\n\x1a\rkept\r\n</abc>\r\n",
            ReadFile(dir.File("data_dehashed.xml")));
}
#else
// A repair or a copy that could not be completed is reported, the data file
// stays as it was, the incomplete file is removed, and the run goes on.
TEST(EndToEndTest, FailuresLeaveTheDataFileAsItWas) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\n");
  const std::string bare = "<0xED131F5B/>\r\n";
  for (const char* name : {"full.xml", "copy.xml", "fine.xml"}) {
    WriteFile(dir.File(name), bare);
  }
  std::filesystem::create_symlink("/dev/full", dir.File("full.xml_tmp"));
  std::filesystem::create_symlink("/dev/full", dir.File("copy_dehashed.xml"));
  std::filesystem::create_symlink("/proc/self/mem", dir.File("mem.xml"));
  ToolRun run = RunTool(dir, {"full.xml", "copy.xml", "mem.xml", "fine.xml"});
  const std::string fix = "Attempting to fix invalid XML <0xED131F5B/>\n";
  EXPECT_EQ(
      "Generating hash map...\n"
      "WARNING: Could not find ArchiveItems.txt, only member names will be "
      "unhashed\n"
      "Processing file full.xml\n" +
          fix +
          "ERROR: Could not write file full.xml_tmp\n"
          "Processing file copy.xml\n" +
          fix +
          "ERROR: Could not write file copy_dehashed.xml\n"
          "Processing file mem.xml\n"
          "ERROR: Could not read file mem.xml\n"
          "ERROR: Could not read file mem.xml\n"
          "Processing file fine.xml\n" +
          fix + "All files finished\nPress Enter to exit...",
      run.output);
  // Unrepaired, but dehashed as it is.
  EXPECT_EQ(bare, ReadFile(dir.File("full.xml")));
  EXPECT_FALSE(FileExists(dir.File("full.xml_tmp")));
  EXPECT_EQ("<0xED131F5B/>\n", ReadFile(dir.File("full_dehashed.xml")));
  // Repaired, but its copy could not be written.
  EXPECT_EQ("<UNK_MEMBER_0xED131F5B/>\n", ReadFile(dir.File("copy.xml")));
  EXPECT_FALSE(FileExists(dir.File("copy_dehashed.xml")));
  EXPECT_FALSE(FileExists(dir.File("mem.xml_tmp")));
  EXPECT_FALSE(FileExists(dir.File("mem_dehashed.xml")));
  EXPECT_EQ("<abc/>\n", ReadFile(dir.File("fine_dehashed.xml")));
}
#endif

}  // namespace
