// Writes a copy of a data file with the known hashes turned into names.
#ifndef QUORVANTIDE_PASSES_DEHASH_FILE_H_
#define QUORVANTIDE_PASSES_DEHASH_FILE_H_

#include <string>

#include "common/output_file.h"
#include "names/name_table.h"
#include "passes/dehash_in_blocks.h"
#include "passes/pass_mode.h"

// The buffers a run keeps from one copy to the next.
struct CopyBuffers {
  OutputFile output;
  BlockBuffers blocks;
};

// Reads the data file at `path` and writes its dehashed copy at
// `copy_path`, created afresh: by DehashStream, or in complete mode by
// CompleteDehashStream, which adds what it met to *counts, over blocks of
// the file on two threads (see DehashInBlocks). With `repair` (complete
// mode), the copy is of the file's text with every bare tag repaired, as
// if it had been repaired in place first. Its buffers come from *kept when
// it is given. Reports failures as messages; a copy that could not be
// written or read in full is removed. Returns whether the copy was written.
bool DehashFile(const std::string& path, const std::string& copy_path,
                const NameTable& names, PassMode mode = PassMode::kDefault,
                HashCounts* counts = nullptr, bool repair = false,
                CopyBuffers* kept = nullptr);

#endif  // QUORVANTIDE_PASSES_DEHASH_FILE_H_
