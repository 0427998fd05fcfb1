// Variants of the names a data file holds, which the name hunt tries
// against the hashes of the same file that no word list knows.
#ifndef QUORVANTIDE_NAMES_NAME_VARIANTS_H_
#define QUORVANTIDE_NAMES_NAME_VARIANTS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "names/hash_targets.h"

// How many of a file's names and their parts are joined in pairs: every
// pair is tried, so their count grows with its square, and so do the chance
// matches.
constexpr size_t kPairedUnits = 40;

struct VariantMatch {
  uint32_t hash;  // its member hash: one of the targets
  std::string name;
};

// What TryVariants builds for each file, kept from one file to the next so
// that a file's variants allocate nothing once the first files have grown it.
struct VariantScratch {
  struct Unit {
    uint32_t first_part, part_count;  // in `parts`
    uint32_t start[4];                // the hash state after it, first
    uint32_t following[4];            // its bytes after another, in `bytes`
  };
  std::vector<std::string_view> parts;
  std::vector<Unit> units;
  std::string bytes;  // each unit's bytes after another, in each style
  std::string text;
  SeenHashes seen;  // the lower-case parts' and the stems' hashes
};

// Tries variants of `names` (most telling first: the names that the file's
// known hashes stand for, then its words) against `targets`: each name's
// parts (SplitName) joined again as camelCase, PascalCase, snake_case and
// lower case; for each stem of a name that ends in a number, the stem with
// each number from 0 to 99, as wide as the original and unpadded; and, when
// `pairs`, every ordered pair of the first kPairedUnits names and parts,
// joined the same four ways. Appends each variant whose member hash is a
// target to *matches, and returns how many variants were tried.
uint64_t TryVariants(const std::vector<std::string_view>& names,
                     const HashTargets& targets, bool pairs,
                     std::vector<VariantMatch>* matches,
                     VariantScratch* scratch);

#endif  // QUORVANTIDE_NAMES_NAME_VARIANTS_H_
