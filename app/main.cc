// Quorvantide: puts known names back into data files whose member names were
// replaced by hashes.

#include <cstdio>
#include <string>
#include <vector>

#include "app/accept_report.h"
#include "app/folder_walk.h"
#include "app/hunt_queue.h"
#include "app/hunt_report.h"
#include "app/process_file.h"
#include "app/switches.h"
#include "app/unknown_list.h"
#include "common/console.h"
#include "common/files.h"
#include "common/folders.h"
#include "common/print_message.h"
#include "names/hash_name_map.h"
#include "names/name_hash.h"

namespace {

// The run, from the command line to the closing prompt.
void Run(int argc, char** argv) {
  Switches switches;
  if (!ParseSwitches(argc, argv, &switches)) {
    PrintMessage("ERROR: %s\n", switches.error.c_str());
    WaitForEnter(kHelp);
    return;
  }
  // Asked from a shell: the answer, and no prompt to wait at.
  if (switches.help) {
    PrintMessage("%s\n", kHelp);
    return;
  }
  if (switches.version) {
    PrintMessage("Quorvantide %s\n", QUORVANTIDE_VERSION);
    return;
  }
  if (switches.hash) {
    for (int i = switches.first_path; i < argc; ++i) {
      PrintMessage("0x%08X  0x%08X  %s\n", NameHash(argv[i]),
                   ArchiveItemHash(argv[i]), argv[i]);
    }
    return;
  }
  const std::string lists_error =
      "ERROR: --lists needs a folder, and " + switches.lists + " is none";
  const bool lists_found = switches.lists.empty() || IsFolder(switches.lists);
  if (!switches.accept.empty()) {
    if (!lists_found) {
      PrintMessage("%s\n", lists_error.c_str());
    } else {
      AcceptReport(switches.accept, switches.lists);
    }
    return;
  }
  if (switches.first_path >= argc) {
    WaitForEnter(kUsage);
    return;
  }
  if (!lists_found) {
    WaitForEnter(lists_error.c_str());
    return;
  }
  FILE* member_names =
      OpenForReading(WordListPath(switches.lists, kMemberNamesFile));
  if (member_names == nullptr) {
    WaitForEnter("ERROR: Could not find MemberNames.txt");
    return;
  }
  PrintMessage("Generating hash map...\n");
  // The lists load beside the first data file's look for bare tags and its
  // repair, which need no names; its dehash pass waits for them.
  FILE* archive_items = nullptr;
  if (!OpenArchiveItems(&archive_items, switches.lists)) {
    CloseInput(member_names);
    WaitForEnter("ERROR: Could not read file ArchiveItems.txt");
    return;
  }
  const bool hunting = !switches.hunt_report.empty();
  NameHunt hunt;
  hunt.limit = switches.chance * kHashValues;
  ListLoad loading;
  if (hunting) loading.vocabulary = &hunt.vocabulary;
  StartListLoad(member_names, archive_items, &HashNameMap, &loading);
  const bool complete = switches.mode == PassMode::kComplete;
  UnknownHashes unknown;
  RunFiles run;
  run.mode = switches.mode;
  run.loading = &loading;
  HuntQueue hunt_queue;
  if (hunting) StartHuntQueue(&hunt_queue, HashNameMap, &hunt);
  run.hunt = hunting ? &hunt_queue : nullptr;
  run.unknown =
      switches.unknown_list.empty() && run.hunt == nullptr ? nullptr : &unknown;
  run.places.out = switches.out;
  bool loaded = true;
  for (int i = switches.first_path; i < argc && loaded; ++i) {
    // In complete mode a folder stands for the data files beneath it; the
    // folder of the copies, should it lie beneath, is not walked.
    if (complete && IsFolder(argv[i])) {
      std::vector<std::string> paths;
      CollectDataFiles(argv[i], &paths, switches.out);
      for (size_t p = 0; p < paths.size() && loaded; ++p) {
        loaded = ProcessFile(paths[p], HashNameMap, &run, argv[i]);
      }
    } else {
      loaded = ProcessFile(argv[i], HashNameMap, &run);
    }
  }
  if (hunting) FinishHuntQueue(&hunt_queue);
  // A list that could not be read ends the run as a missing one does: no
  // copy, and no list of unknown hashes, is made with some names missing.
  if (!FinishListLoad(&loading)) {
    const std::string message =
        std::string("ERROR: Could not read file ") + loading.unread;
    WaitForEnter(message.c_str());
    return;
  }
  if (!switches.unknown_list.empty()) {
    WriteUnknownList(switches.unknown_list, unknown);
  }
  if (run.hunt != nullptr) {
    FinishVocabularyCount(&loading);
    ReadWordsFrom(switches.words_from, &hunt);
    FinishHunt(switches.hunt_report, unknown, &hunt);
  }
  WaitForEnter("All files finished");
}

}  // namespace

int main(int argc, char** argv) {
  // On Windows the console shows the UTF-8 that the tool prints as such,
  // for the run only.
  const ConsoleCodePage console = SystemConsole();
  const unsigned page = UseUtf8Console(console);
  Run(argc, argv);
  RestoreConsole(console, page);
  return 0;
}
