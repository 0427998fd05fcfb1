#include "app/accept_report.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/chunk_reader.h"
#include "common/files.h"
#include "common/folders.h"
#include "common/output_file.h"
#include "common/print_message.h"
#include "common/replacing.h"
#include "names/dehash_token.h"
#include "names/hash_name_map.h"
#include "names/name_hash.h"

namespace {

// Reads all of `file`. Returns false if a read failed.
bool ReadAll(FILE* file, std::string* bytes) {
  char block[1 << 16];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    bytes->append(block, got);
  }
  return std::ferror(file) == 0;
}

// The lines of `text`, without their line ends (LF, or CR LF).
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// One list: where it is, what it holds, and the names to add to it.
struct ListChange {
  const char* file;
  std::string path;
  std::vector<std::string_view> names;  // in report order, each once
  std::unordered_set<std::string_view> wanted;
  std::string bytes;  // the list as it is, when it exists
  bool exists = false;
  size_t already = 0;  // names it holds already
};

// Checks a line of the report; on success sets *list (0 member, 1 archive)
// and *name. Otherwise returns what is wrong with it.
std::string CheckLine(std::string_view line, int* list,
                      std::string_view* name) {
  std::string_view fields[3];
  size_t count = 0;
  for (size_t start = 0; count < 3;) {
    const size_t tab = line.find('\t', start);
    fields[count++] = line.substr(start, tab - start);
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  uint32_t hash = 0;
  const std::string_view digits = fields[0];
  bool hex = count == 3 && digits.size() == 10 && digits.substr(0, 2) == "0x";
  for (size_t i = 2; hex && i < 10; ++i) {
    const int value = HexDigitValue(digits[i]);
    hex = value >= 0;
    hash = hash << 4 | static_cast<uint32_t>(value);
  }
  *name = fields[1];
  if (!hex || name->empty() || name->find('\0') != std::string_view::npos) {
    return "is not a line of a hunt report";
  }
  if (fields[2] != "member" && fields[2] != "archive") {
    return "names the list \"" + std::string(fields[2]) +
           "\": it must be member or archive";
  }
  *list = fields[2] == "member" ? 0 : 1;
  if ((*list == 0 ? NameHash(*name) : ArchiveItemHash(*name)) != hash) {
    return "has a name that does not hash to " + std::string(digits) + " as " +
           (*list == 0 ? "a member name" : "an archive item");
  }
  if (name->size() > kMaxChunkLength) {
    return "has a name too long for a line of a word list";
  }
  return "";
}

// Writes the list with its new names beside it and puts it in its place;
// closes *old_list (when open) first, as Windows replaces no open file.
// Returns false, with a message, if that failed; the list is then as it was.
bool WriteList(const ListChange& change, FILE** old_list) {
  // The list's own line end, or the platform's for a list that has none.
  std::string_view end = kTextLineEnd;
  const size_t first = change.bytes.find('\n');
  if (first != std::string::npos) {
    end = first > 0 && change.bytes[first - 1] == '\r' ? "\r\n" : "\n";
  }
  const std::string temporary_path = change.path + "_tmp";
  OutputFile out;
  if (!OpenOutputFile(&out, temporary_path, /*durable=*/true,
                      /*text=*/false)) {
    PrintMessage(
        "ERROR: Could not create file %s, check your folder write "
        "permissions.\n",
        temporary_path.c_str());
    return false;
  }
  bool written =
      *old_list == nullptr || CopyOwnerAndPermissions(*old_list, out.file);
  if (*old_list != nullptr) CloseInput(*old_list);
  *old_list = nullptr;
  WriteOutput(&out, change.bytes);
  if (!change.bytes.empty() && change.bytes.back() != '\n') {
    WriteOutput(&out, end);
  }
  for (std::string_view name : change.names) {
    if (change.wanted.count(name) == 0) continue;  // held already
    WriteOutput(&out, name);
    WriteOutput(&out, end);
  }
  written = CloseOutputFile(&out) && written;
  if (!written) {
    PrintMessage("ERROR: Could not write file %s\n", temporary_path.c_str());
  } else if (!RenameOver(temporary_path, change.path)) {
    PrintMessage(
        "ERROR: Could not rename file, check your file permissions.\n");
  } else {
    return true;
  }
  // Only ever under the temporary name, and reported already.
  static_cast<void>(RemoveFile(temporary_path));
  return false;
}

}  // namespace

void AcceptReport(const std::string& report, const std::string& lists_folder) {
  FILE* input = OpenForReading(report);
  if (input == nullptr) {
    PrintMessage("ERROR: Could not open file %s\n", report.c_str());
    return;
  }
  std::string text;
  const bool read = ReadAll(input, &text);
  CloseInput(input);
  if (!read) {
    PrintMessage("ERROR: Could not read file %s\n", report.c_str());
    return;
  }
  ListChange lists[2] = {{kMemberNamesFile, {}, {}, {}, {}, false, 0},
                         {kArchiveItemsFile, {}, {}, {}, {}, false, 0}};
  const std::vector<std::string_view> lines = Lines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    int list = 0;
    std::string_view name;
    const std::string fault = CheckLine(lines[i], &list, &name);
    if (!fault.empty()) {
      PrintMessage("ERROR: Line %llu of %s %s; no name was added\n",
                   static_cast<unsigned long long>(i) + 1, report.c_str(),
                   fault.c_str());
      return;
    }
    if (lists[list].wanted.insert(name).second) {
      lists[list].names.push_back(name);
    }
  }
  // Both lists are read, and refused if need be, before either is written.
  FILE* open_lists[2] = {nullptr, nullptr};
  bool ready = true;
  for (int l = 0; l < 2 && ready; ++l) {
    ListChange& change = lists[l];
    change.path = WordListPath(lists_folder, change.file);
    if (IsLink(change.path)) {
      PrintMessage(
          "ERROR: %s is a link, and a list is never written through one: "
          "give the folder the list is in with --lists\n",
          change.path.c_str());
      ready = false;
      break;
    }
    open_lists[l] = OpenForReading(change.path);
    change.exists = open_lists[l] != nullptr;
    if (!change.exists) {
      // A missing member list is more likely the wrong folder than a new
      // list; a missing archive list is optional, and made when needed.
      if (IsRegularFile(change.path) || IsFolder(change.path)) {
        PrintMessage("ERROR: Could not read file %s\n", change.path.c_str());
        ready = false;
      } else if (l == 0) {
        PrintMessage("ERROR: Could not find %s\n", change.path.c_str());
        ready = false;
      }
      continue;
    }
    if (!ReadAll(open_lists[l], &change.bytes)) {
      PrintMessage("ERROR: Could not read file %s\n", change.path.c_str());
      ready = false;
      continue;
    }
    for (std::string_view held : Lines(change.bytes)) {
      change.already += change.wanted.erase(held);
    }
  }
  for (int l = 0; l < 2 && ready; ++l) {
    ListChange& change = lists[l];
    if (!change.wanted.empty()) ready = WriteList(change, &open_lists[l]);
    PrintMessage(
        "%s: %llu added, %llu held already\n", change.file,
        static_cast<unsigned long long>(ready ? change.wanted.size() : 0),
        static_cast<unsigned long long>(change.already));
  }
  for (FILE* list : open_lists) {
    if (list != nullptr) CloseInput(list);
  }
}
