// Repairs every bare hexadecimal tag of a data file, wherever it stands
// (complete mode).
#ifndef QUORVANTIDE_PASSES_COMPLETE_REPAIR_H_
#define QUORVANTIDE_PASSES_COMPLETE_REPAIR_H_

#include "common/chunk_reader.h"
#include "common/output_file.h"

// Whether `in` holds a bare hexadecimal tag ("<0x" or "</0") anywhere.
// Reads up to the first one; false also when a read fails (see
// in->read_error).
bool HasBareTagAnywhere(ChunkReader* in);

// Writes all of `in` (kept line ends) to `out` with kRepairPrefix put into
// every bare hexadecimal tag; every other byte goes out as read. Each line
// that holds one is announced once on the console, by its first 99
// characters as text mode reads them, and a line feed.
void CompleteRepairStream(ChunkReader* in, OutputFile* out);

#endif  // QUORVANTIDE_PASSES_COMPLETE_REPAIR_H_
