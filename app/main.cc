// Quorvantide: puts known names back into data files whose member names were
// replaced by hashes.

#include <cstdio>

#include "app/process_file.h"
#include "common/platform.h"
#include "common/print_message.h"
#include "names/hash_name_map.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    WaitForEnter("Usage: Quorvantide.exe [path]filename1[ ...]");
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
  for (int i = 1; i < argc; ++i) ProcessFile(argv[i], HashNameMap);
  WaitForEnter("All files finished");
  return 0;
}
