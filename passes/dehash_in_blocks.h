// Dehashes a data file on two threads, a block of lines each at a time.
#ifndef QUORVANTIDE_PASSES_DEHASH_IN_BLOCKS_H_
#define QUORVANTIDE_PASSES_DEHASH_IN_BLOCKS_H_

#include <cstddef>
#include <cstdio>
#include <memory>

#include "common/output_file.h"
#include "names/name_table.h"
#include "passes/pass_mode.h"

// Bytes of the data file per block. A few blocks are in memory at once;
// together they take less than one reader's buffer.
constexpr size_t kDehashBlockSize = size_t{1} << 17;

// Blocks read but not yet written out, at most: a thread that is done with
// its block takes the next while the one before is still being dehashed.
constexpr size_t kBlocksInFlight = 3;

// The buffers of the blocks in flight, kept from one data file to the
// next: fresh ones for every file would cost page faults, file after file.
struct BlockBuffers {
  size_t block_size = 0;  // what they were made for
  std::unique_ptr<char[]> read[kBlocksInFlight];
  std::unique_ptr<char[]> written[kBlocksInFlight];
};

// Writes to `out` what DehashStream, or in complete mode
// CompleteDehashStream, writes for one reader of all of `input`, opened in
// binary mode, and adds what complete mode met to *counts. No token, no
// marker and no chunk goes on past a line feed, so the input is cut into
// blocks of about `block_size` bytes that each end after one, which the
// calling thread and a thread of its own take in turn as each is free,
// dehash, and write out in order. From a block without a line feed on, the
// rest is read as one stream. With `repair`, every bare tag of the input
// is read repaired (see RepairOnRead). The blocks' buffers come from, and go
// back to, *kept when it is given. Returns false if a read failed.
bool DehashInBlocks(FILE* input, const NameTable& names, PassMode mode,
                    HashCounts* counts, OutputFile* out, bool repair = false,
                    size_t block_size = kDehashBlockSize,
                    BlockBuffers* kept = nullptr);

#endif  // QUORVANTIDE_PASSES_DEHASH_IN_BLOCKS_H_
