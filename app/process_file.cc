#include "app/process_file.h"

#include <cstdio>

#include "common/platform.h"
#include "common/print_message.h"
#include "passes/dehash_file.h"
#include "passes/hunt_scan.h"
#include "passes/repair_in_place.h"

std::string_view PathExtension(std::string_view path) {
  if (path.size() < 6) return {};
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  return path.substr(dot, 4);
}

bool IsDataFileExtension(std::string_view extension) {
  return extension == ".xml" || extension == ".ymt" || extension == ".XML" ||
         extension == ".YMT";
}

bool ProcessFile(const std::string& path, const NameTable& names, PassMode mode,
                 UnknownHashes* unknown, ListLoad* loading, NameHunt* hunt) {
  // Opened before the extension is looked at, so a missing file is reported
  // as missing whatever its name.
  FILE* input = OpenForReading(path);
  if (input == nullptr) {
    PrintMessage("ERROR: Could not open file %s\n", path.c_str());
    return true;
  }
  if (!IsDataFileExtension(PathExtension(path))) {
    PrintMessage("Ignoring file %s\n", path.c_str());
    CloseInput(input);
    return true;
  }
  PrintMessage("Processing file %s\n", path.c_str());
  RepairInPlace(path, input, mode);
  // Runs whatever the repair did: it reads the file that now stands there.
  HashCounts counts;
  if (unknown != nullptr) {
    counts.unknown = unknown;
    unknown->files.push_back(path);
  }
  // A copy made with only some of the names would pass for a whole one.
  if (loading != nullptr && !FinishListLoad(loading)) return false;
  if (DehashFile(path, names, mode, &counts) && mode == PassMode::kComplete) {
    PrintMessage("Named %llu of %llu hashes in %s\n",
                 static_cast<unsigned long long>(counts.named),
                 static_cast<unsigned long long>(counts.hashes), path.c_str());
    if (hunt != nullptr && !HuntDataFile(path, names, hunt)) {
      PrintMessage("ERROR: Could not read file %s\n", path.c_str());
    }
  }
  return true;
}

void WaitForEnter(const char* message) {
  PrintMessage("%s\nPress Enter to exit...", message);
  std::getchar();
}
