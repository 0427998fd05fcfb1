// The two ways a run reads a data file.
#ifndef QUORVANTIDE_PASSES_PASS_MODE_H_
#define QUORVANTIDE_PASSES_PASS_MODE_H_

#include <cstddef>

enum class PassMode {
  // By pieces of at most 99 characters, with the limits stored files were
  // made with: a bare tag is repaired only at a piece's start, and a piece
  // names at most two member hashes and one value.
  kDefault,
  // By whole lines, without limits: every bare tag repaired and every
  // known hash named, wherever it stands.
  kComplete,
};

// What a complete dehash pass met in a file.
struct HashCounts {
  size_t hashes = 0;  // tokens that hold a hash, or that were named
  size_t named = 0;   // tokens that were named
};

#endif  // QUORVANTIDE_PASSES_PASS_MODE_H_
