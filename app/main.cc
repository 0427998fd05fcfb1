// Quorvantide: puts known names back into data files whose member names were
// replaced by hashes.

#include <cstdio>

#include "app/process_file.h"
#include "app/switches.h"
#include "common/platform.h"
#include "common/print_message.h"
#include "names/hash_name_map.h"

int main(int argc, char** argv) {
  Switches switches;
  if (!ParseSwitches(argc, argv, &switches)) {
    PrintMessage("ERROR: %s\n", switches.error.c_str());
    WaitForEnter(kHelp);
    return 0;
  }
  // Asked from a shell: the answer, and no prompt to wait at.
  if (switches.help) {
    PrintMessage("%s\n", kHelp);
    return 0;
  }
  if (switches.version) {
    PrintMessage("Quorvantide %s\n", QUORVANTIDE_VERSION);
    return 0;
  }
  if (switches.first_path >= argc) {
    WaitForEnter(kUsage);
    return 0;
  }
  FILE* member_names = OpenForReading("MemberNames.txt");
  if (member_names == nullptr) {
    WaitForEnter("ERROR: Could not find MemberNames.txt");
    return 0;
  }
  PrintMessage("Generating hash map...\n");
  LoadHashNameMap(member_names, &HashNameMap);
  std::fclose(member_names);
  for (int i = switches.first_path; i < argc; ++i) {
    ProcessFile(argv[i], HashNameMap, switches.mode);
  }
  WaitForEnter("All files finished");
  return 0;
}
