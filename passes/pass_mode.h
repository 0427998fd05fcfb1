// The two ways a run reads a data file.
#ifndef QUORVANTIDE_PASSES_PASS_MODE_H_
#define QUORVANTIDE_PASSES_PASS_MODE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

enum class PassMode {
  // By pieces of at most 99 characters, with the limits stored files were
  // made with: a bare tag is repaired only at a piece's start, and a piece
  // names at most two member hashes and one value.
  kDefault,
  // By whole lines, without limits: every bare tag repaired and every
  // known hash named, wherever it stands.
  kComplete,
};

// The hashes that complete dehash passes left unnamed, over a run.
struct UnknownHashes {
  struct Seen {
    uint64_t count;     // how often
    size_t first_file;  // where first, an index into `files`
  };
  std::unordered_map<uint32_t, Seen> hashes;
  std::vector<std::string> files;  // the last is the one being read
};

// What a complete dehash pass met in a file.
struct HashCounts {
  size_t hashes = 0;  // tokens that hold a hash, or that were named
  size_t named = 0;   // tokens that were named
  // When set, each hash left unnamed is counted there too.
  UnknownHashes* unknown = nullptr;
};

#endif  // QUORVANTIDE_PASSES_PASS_MODE_H_
