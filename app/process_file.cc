#include "app/process_file.h"

#include <cstdio>

#include "app/data_files.h"
#include "common/files.h"
#include "common/print_message.h"
#include "common/replacing.h"
#include "passes/dehash_file.h"
#include "passes/repair_in_place.h"

bool ProcessFile(const std::string& path, const NameTable& names, RunFiles* run,
                 const std::string& folder) {
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
  const bool beside = run->places.out.empty();
  const std::string copy = CopyPath(run->places, path, folder);
  if (beside) {
    RepairInPlace(path, input, run->mode);
  } else {
    CloseInput(input);
    if (!PrepareCopy(&run->places, copy, path)) return true;
  }
  // Runs whatever the repair did: it reads the file that now stands there.
  HashCounts counts;
  if (run->unknown != nullptr) {
    counts.unknown = run->unknown;
    run->unknown->files.push_back(path);
  }
  // A copy made with only some of the names would pass for a whole one.
  if (run->loading != nullptr && !FinishListLoad(run->loading)) return false;
  // A copy into the folder of copies is put under its name only when it is
  // complete; it is not forced to disk, since it can be made again.
  const std::string written =
      beside ? copy : copy + std::string(kTemporarySuffix);
  bool made = DehashFile(path, written, names, run->mode, &counts,
                         /*repair=*/!beside, &run->buffers);
  if (made && !beside && !RenameOver(written, copy, /*durable=*/false)) {
    PrintMessage(
        "ERROR: Could not rename file, check your file permissions.\n");
    static_cast<void>(RemoveFile(written));
    made = false;
  }
  if (made && run->mode == PassMode::kComplete) {
    PrintMessage("Named %llu of %llu hashes in %s\n",
                 static_cast<unsigned long long>(counts.named),
                 static_cast<unsigned long long>(counts.hashes), path.c_str());
    if (run->hunt != nullptr) QueueHuntFile(run->hunt, path, !beside);
  }
  return true;
}

void WaitForEnter(const char* message) {
  PrintMessage("%s\nPress Enter to exit...", message);
  std::getchar();
}
