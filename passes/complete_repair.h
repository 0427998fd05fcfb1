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

// Whether `text` holds a bare hexadecimal tag anywhere.
bool HoldsBareTag(std::string_view text);

// Makes `reader` hand out its input, from its next byte on, as
// CompleteRepairStream writes it, but for the messages: every bare tag with
// kRepairPrefix in it. So a copy can be made of the repaired text without
// the data file being repaired.
void RepairOnRead(ChunkReader* reader);

#endif  // QUORVANTIDE_PASSES_COMPLETE_REPAIR_H_
