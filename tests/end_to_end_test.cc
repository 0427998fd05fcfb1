// Runs the real executable in a scratch folder and compares its console
// output and the files it leaves, byte for byte.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/chunk_reader.h"
#include "names/name_hash.h"
#include "tests/test_support.h"

namespace {

using namespace std::string_literals;

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%08X", static_cast<unsigned>(value));
  return text;
}

uint32_t NameHashOf(const std::string& name) { return NameHash(name); }

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
  // The tool always exits with 0: anything else is a crash, or a sanitizer
  // that found a fault.
  EXPECT_EQ(0, status) << command;
  ToolRun run{status, ReadFile(out)};
  std::remove(in.c_str());
  std::remove(out.c_str());
  return run;
}

// How a run without "ArchiveItems.txt" begins.
const std::string kMembersOnly =
    "Generating hash map...\n"
    "WARNING: Could not find ArchiveItems.txt, only member names will be "
    "unhashed\n";

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
      TextMode(kMembersOnly + "Processing file data.ymt\n"
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
          kMembersOnly +
          "Processing file data.ymt\n"
          "Attempting to fix invalid XML <0xED131F5B>0xED131F5B</0xED131F5B>\n"
          "Attempting to fix invalid XML <0xED131F5B/>\n"
          // The last line has no line feed, and the message adds none.
          "Attempting to fix invalid XML </0xED131F5B>"
          "Processing file plain.xml\n"
          "All files finished\nPress Enter to exit..."),
      run.output);
  EXPECT_EQ(
      "<Root>\r\n"
      "<UNK_MEMBER_0xED131F5B>0xED131F5B</0xED131F5B>\n"
      "  <0xED131F5B>indented</0xED131F5B>\n"
      "<0XED131F5B>capital</0XED131F5B>\n" +
          x99 + "<UNK_MEMBER_0xED131F5B/>\n" + "</UNK_MEMBER_0xED131F5B>",
      ReadFile(dir.File("data.ymt")));
  EXPECT_EQ(TextMode("<Root>\n"
                     "<abc>abc</0xED131F5B>\n"
                     "  <0xED131F5B>indented</0xED131F5B>\n"
                     "<0XED131F5B>capital</0XED131F5B>\n" +
                     x99 + "<abc/>\n" + "</abc>"),
            ReadFile(dir.File("data_dehashed.ymt")));
  EXPECT_EQ("<a>\r\n\0\x1a</a>\n"s, ReadFile(dir.File("plain.xml")));
  EXPECT_FALSE(FileExists(dir.File("data.ymt_tmp")));
  EXPECT_FALSE(FileExists(dir.File("plain.xml_tmp")));
}

// Word lists with very long lines, NUL bytes, lone CRs and no final line
// feed; a data file of binary garbage; an empty one. Nothing is lost, and
// every name comes back byte for byte.
TEST(EndToEndTest, OddWordListsAndGarbageData) {
  ScratchDir dir;
  const std::string a99(99, 'a');
  WriteFile(dir.File("MemberNames.txt"),
            std::string(10000, 'a') + "\nnul\0name\ncr1\rcr2\rlast"s);
  // A 10,000-byte line gives 101 names of 99 bytes (one entry) and "a".
  WriteFile(dir.File("names.xml"),
            "<UNK_MEMBER_0x" + Hex(NameHashOf(a99)) + ">0x" +
                Hex(NameHashOf("a")) + "</UNK_MEMBER_0x" +
                Hex(NameHashOf("nul\0name"s)) + ">\n<v>0x" +
                Hex(NameHashOf("cr1\rcr2\rlast")) + "</v>\n");
  std::mt19937 random(9);
  std::string garbage;
  for (int i = 0; i < 300000; ++i) garbage += static_cast<char>(random());
  garbage += "\n<0x1>\r\n</0";  // two bare tags, whatever came before
  WriteFile(dir.File("garbage.ymt"), garbage);
  WriteFile(dir.File("empty.xml"), "");

  ToolRun run = RunTool(dir, {"names.xml", "garbage.ymt", "empty.xml"});

  // The garbage is repaired chunk by chunk like any text.
  std::string repaired, messages;
  for (const std::string& chunk :
       ChunksOf(garbage, kDefaultReadSize, LineEnds::kKeep)) {
    const bool bare =
        chunk.compare(0, 3, "<0x") == 0 || chunk.compare(0, 3, "</0") == 0;
    const size_t offset = chunk[1] == '/' ? 2 : 1;
    std::string shown = chunk;
    if (shown.size() >= 2 && shown.compare(shown.size() - 2, 2, "\r\n") == 0) {
      shown.erase(shown.size() - 2, 1);
    }
    if (bare) messages += "Attempting to fix invalid XML " + shown;
    repaired +=
        bare ? chunk.substr(0, offset) + "UNK_MEMBER_" + chunk.substr(offset)
             : chunk;
  }
  ASSERT_NE(std::string::npos, repaired.find("\n<UNK_MEMBER_0x1>\r\n"));
  EXPECT_EQ(TextMode(kMembersOnly +
                     "Processing file names.xml\n"
                     "Processing file garbage.ymt\n" +
                     messages +
                     "Processing file empty.xml\n"
                     "All files finished\nPress Enter to exit..."),
            run.output);
  EXPECT_EQ(TextMode("<" + a99 + ">a</nul\0name>\n<v>cr1\rcr2\rlast</v>\n"s),
            ReadFile(dir.File("names_dehashed.xml")));
  EXPECT_EQ(repaired, ReadFile(dir.File("garbage.ymt")));
  EXPECT_EQ("", ReadFile(dir.File("empty.xml")));
  EXPECT_EQ("", ReadFile(dir.File("empty_dehashed.xml")));
}

// A 200 MB data file without a single line feed: read in 99-byte pieces,
// and kept whole.
TEST(EndToEndTest, HugeFileWithoutLineFeeds) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\n");
  std::string data;
  data.reserve(200u << 20);
  while (data.size() < (200u << 20)) data += "value=\"0xFFFF\" text & more ";
  WriteFile(dir.File("huge.xml"), data);
  ToolRun run = RunTool(dir, {"huge.xml"});
  EXPECT_EQ(
      TextMode(kMembersOnly + "Processing file huge.xml\n"
                              "All files finished\nPress Enter to exit..."),
      run.output);
  EXPECT_TRUE(data == ReadFile(dir.File("huge.xml")));
  EXPECT_TRUE(data == ReadFile(dir.File("huge_dehashed.xml")));
}

// Where a folder has the name of the temporary file, the data file is
// dehashed as it stands, unrepaired; where a folder has the name of the
// dehashed copy, there is none.
TEST(EndToEndTest, FilesThatCannotBeCreated) {
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\n");
  WriteFile(dir.File("busy.xml"), "<0xED131F5B/>\r\n");
  WriteFile(dir.File("taken.xml"), "<0xED131F5B/>\r\n");
  std::filesystem::create_directory(dir.File("busy.xml_tmp"));
  std::filesystem::create_directory(dir.File("taken_dehashed.xml"));
  ToolRun run = RunTool(dir, {"busy.xml", "taken.xml"});
  EXPECT_EQ(
      TextMode(kMembersOnly +
               "Processing file busy.xml\n"
               "ERROR: Could not create file, check your folder write "
               "permissions.\n"
               "Processing file taken.xml\n"
               "Attempting to fix invalid XML <0xED131F5B/>\n"
               "ERROR: Could not create file taken_dehashed.xml, check your "
               "folder write permissions.\n"
               "All files finished\nPress Enter to exit..."),
      run.output);
  EXPECT_EQ("<0xED131F5B/>\r\n", ReadFile(dir.File("busy.xml")));
  EXPECT_EQ(TextMode("<0xED131F5B/>\n"),
            ReadFile(dir.File("busy_dehashed.xml")));
  EXPECT_EQ("<UNK_MEMBER_0xED131F5B/>\r\n", ReadFile(dir.File("taken.xml")));
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
  EXPECT_EQ(kMembersOnly + "Processing file full.xml\n" + fix +
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
  EXPECT_EQ("<UNK_MEMBER_0xED131F5B/>\r\n", ReadFile(dir.File("copy.xml")));
  EXPECT_FALSE(FileExists(dir.File("copy_dehashed.xml")));
  EXPECT_FALSE(FileExists(dir.File("mem.xml_tmp")));
  EXPECT_FALSE(FileExists(dir.File("mem_dehashed.xml")));
  EXPECT_EQ("<abc/>\n", ReadFile(dir.File("fine_dehashed.xml")));
}

// The repaired file takes the data file's place with the data file's
// permissions: a private file stays private, a read-only one read-only.
TEST(EndToEndTest, RepairKeepsPermissions) {
  namespace fs = std::filesystem;
  ScratchDir dir;
  WriteFile(dir.File("MemberNames.txt"), "abc\n");
  const fs::perms kModes[] = {fs::perms::owner_read | fs::perms::owner_write,
                              fs::perms::owner_read | fs::perms::group_read};
  const char* const kNames[] = {"private.xml", "readonly.xml"};
  for (int i = 0; i < 2; ++i) {
    WriteFile(dir.File(kNames[i]), "<0x1/>\n");
    fs::permissions(dir.File(kNames[i]), kModes[i]);
  }
  RunTool(dir, {kNames[0], kNames[1]});
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ("<UNK_MEMBER_0x1/>\n", ReadFile(dir.File(kNames[i])));
    EXPECT_EQ(kModes[i],
              fs::status(dir.File(kNames[i])).permissions() & fs::perms::all);
  }
}
#endif

}  // namespace
