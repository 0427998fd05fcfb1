// A set of hashes that many candidate names are checked against.
#ifndef QUORVANTIDE_NAMES_HASH_TARGETS_H_
#define QUORVANTIDE_NAMES_HASH_TARGETS_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// The hashes, sorted, and a bit for each value of their low bits: nearly
// every candidate is told apart by one load.
struct HashTargets {
  std::vector<uint32_t> sorted;
  std::vector<uint64_t> bits;
  uint32_t mask = 0;  // of the low bits that pick a bit
};

// Makes the set of `hashes` (in any order, repeats allowed), with a bit map
// of about 64 bits a hash.
inline void MakeHashTargets(std::vector<uint32_t> hashes, HashTargets* set) {
  std::sort(hashes.begin(), hashes.end());
  hashes.erase(std::unique(hashes.begin(), hashes.end()), hashes.end());
  size_t words = 1;
  while (words < hashes.size() && words < (size_t{1} << 20)) words *= 2;
  set->bits.assign(words, 0);
  set->mask = static_cast<uint32_t>(words * 64 - 1);
  for (uint32_t hash : hashes) {
    const uint32_t bit = hash & set->mask;
    set->bits[bit >> 6] |= uint64_t{1} << (bit & 63);
  }
  set->sorted = std::move(hashes);
}

inline bool HoldsHash(const HashTargets& set, uint32_t hash) {
  const uint32_t bit = hash & set.mask;
  return (set.bits[bit >> 6] >> (bit & 63) & 1) != 0 &&
         std::binary_search(set.sorted.begin(), set.sorted.end(), hash);
}

#endif  // QUORVANTIDE_NAMES_HASH_TARGETS_H_
