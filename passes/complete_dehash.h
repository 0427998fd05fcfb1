// Names every known hash of a data file, wherever it stands (complete mode).
#ifndef QUORVANTIDE_PASSES_COMPLETE_DEHASH_H_
#define QUORVANTIDE_PASSES_COMPLETE_DEHASH_H_

#include "common/chunk_reader.h"
#include "common/output_file.h"
#include "names/name_table.h"
#include "passes/pass_mode.h"

// Writes all of `in` to `out`, each token whose hash `names` knows named.
// Tokens are found from left to right: a member token at kMemberMarker, a
// value token at the "0x" of kValueMarker, each running to the next of its
// stop bytes or to the end of the input, and each resolved by DehashToken.
// The search goes on right after every token, named or not, so a name put
// in is never searched. Memory grows with the longest token, not with the
// length of a line. Adds what it met to *counts.
void CompleteDehashStream(const NameTable& names, ChunkReader* in,
                          OutputFile* out, HashCounts* counts);

#endif  // QUORVANTIDE_PASSES_COMPLETE_DEHASH_H_
