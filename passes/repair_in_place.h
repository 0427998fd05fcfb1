// Repairs bare hexadecimal tags in a data file, replacing the file atomically.
#ifndef QUORVANTIDE_PASSES_REPAIR_IN_PLACE_H_
#define QUORVANTIDE_PASSES_REPAIR_IN_PLACE_H_

#include <cstdio>
#include <string>
#include <string_view>

#include "common/chunk_reader.h"
#include "common/output_file.h"
#include "passes/pass_mode.h"

// Whether any chunk of `in` begins with a bare hexadecimal tag. Reads up to
// the first such chunk; false also when a read fails (see in->read_error).
bool HasBareTag(ChunkReader* in);

// Writes every chunk of `in` to `out`, each one that begins with a bare
// hexadecimal tag with the prefix inserted and announced on the console.
// Every other byte goes out as read.
void RepairStream(ChunkReader* in, OutputFile* out);

enum class RepairResult {
  kComplete,    // the copy is written in full and on the disk
  kNotCreated,  // the copy could not be created; the input is unread
  kReadError,   // the input could not be read to its end
  kWriteError,  // the copy could not be written, synced or closed
};

// Writes the repaired copy of `input` (open in binary mode at its start,
// left open) to `output_path`, created afresh, with the input's owner and
// permissions: by RepairStream, or in complete mode by
// CompleteRepairStream. Prints a message only when the copy cannot be
// created.
RepairResult FixInvalidXml(const std::string& output_path, FILE* input,
                           PassMode mode = PassMode::kDefault);

// Repairs the data file at `path`, whose open stream it takes over and
// closes. A file with no bare tag to repair (in complete mode: none
// anywhere) is left untouched. Otherwise the repaired copy is written to
// `path` + "_tmp" and then replaces the data file in one step. On any
// failure the data file stays as it was, with a message; an incomplete copy
// is removed.
void RepairInPlace(const std::string& path, FILE* input,
                   PassMode mode = PassMode::kDefault);

#endif  // QUORVANTIDE_PASSES_REPAIR_IN_PLACE_H_
