// The run's steps for one command-line argument, and the closing prompt.
#ifndef QUORVANTIDE_APP_PROCESS_FILE_H_
#define QUORVANTIDE_APP_PROCESS_FILE_H_

#include <string>
#include <string_view>

#include "app/copy_path.h"
#include "app/hunt_queue.h"
#include "names/hash_name_map.h"
#include "names/name_table.h"
#include "passes/dehash_file.h"
#include "passes/pass_mode.h"

// What the files of a run share.
struct RunFiles {
  PassMode mode = PassMode::kDefault;
  // The hashes left unnamed are added here when it is given.
  UnknownHashes* unknown = nullptr;
  // The load that fills the names, waited for before the first copy.
  ListLoad* loading = nullptr;
  // When given, each file is queued to be read once more for the name hunt.
  HuntQueue* hunt = nullptr;
  // Where the copies go.
  CopyPlaces places;
  // The buffers of the copies, kept from one file to the next.
  CopyBuffers buffers;
};

// Processes one data file, found by the walk of the folder argument
// `folder` (empty for a file argument): it is repaired in place and its
// dehashed copy written beside it, both read the way run->mode says; or,
// with a folder for the copies, it is left as it is and its copy, repaired
// on the way, is written there under a temporary name and put in its place
// when complete. Anything else is reported and left alone. In complete mode
// a written copy is followed by a line that counts the hashes named. Only
// the dehash pass and the hunt read `names`. Returns false, with no copy
// made, if the load of the names failed: the run must end.
bool ProcessFile(const std::string& path, const NameTable& names, RunFiles* run,
                 const std::string& folder = "");

// Prints `message` and the exit prompt, then waits for one character.
void WaitForEnter(const char* message);

#endif  // QUORVANTIDE_APP_PROCESS_FILE_H_
