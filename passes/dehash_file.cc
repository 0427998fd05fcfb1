#include "passes/dehash_file.h"

#include <cstdio>

#include "common/files.h"
#include "common/output_file.h"
#include "common/print_message.h"
#include "common/replacing.h"

bool DehashFile(const std::string& path, const std::string& copy_path,
                const NameTable& names, PassMode mode, HashCounts* counts,
                bool repair, CopyBuffers* kept) {
  FILE* input = OpenForReading(path);
  if (input == nullptr) {
    PrintMessage("ERROR: Could not open file %s\n", path.c_str());
    return false;
  }
  CopyBuffers fresh;
  if (kept == nullptr) kept = &fresh;
  OutputFile& output = kept->output;
  if (!OpenOutputFile(&output, copy_path)) {
    PrintMessage(
        "ERROR: Could not create file %s, check your folder write "
        "permissions.\n",
        copy_path.c_str());
    CloseInput(input);
    return false;
  }
  const bool read = DehashInBlocks(input, names, mode, counts, &output, repair,
                                   kDehashBlockSize, &kept->blocks);
  CloseInput(input);
  bool written = CloseOutputFile(&output);
  // An incomplete copy must not pass for a finished one.
  if (!read) {
    PrintMessage("ERROR: Could not read file %s\n", path.c_str());
  } else if (!written) {
    PrintMessage("ERROR: Could not write file %s\n", copy_path.c_str());
  } else {
    return true;
  }
  // Already reported as incomplete, whether or not it can be removed.
  static_cast<void>(RemoveFile(copy_path));
  return false;
}
