// Sets of hashes: those that many candidate names are checked against, and
// those a file has shown already.
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

// A set of hashes that grows as they are added, cleared for the next use
// without giving back its memory: the hunt keeps each name of a file once.
class SeenHashes {
 public:
  // Whether `hash` is new; it is not any more.
  bool Add(uint32_t hash) {
    if (4 * (count_ + 1) > 3 * slots_.size()) Grow();
    const uint32_t key = hash == 0 ? 1 : hash;  // 0 marks a free slot
    size_t i = static_cast<uint32_t>(key * 0x9E3779B1u) & (slots_.size() - 1);
    for (; slots_[i] != 0; i = (i + 1) & (slots_.size() - 1)) {
      if (slots_[i] == key) return false;
    }
    slots_[i] = key;
    ++count_;
    return true;
  }
  void Clear() {
    slots_.assign(slots_.size(), 0);
    count_ = 0;
  }

 private:
  void Grow() {
    std::vector<uint32_t> old(slots_.empty() ? 1024 : 2 * slots_.size(), 0);
    old.swap(slots_);
    count_ = 0;
    for (uint32_t key : old) {
      if (key != 0) Add(key);
    }
  }
  std::vector<uint32_t> slots_;
  size_t count_ = 0;
};

#endif  // QUORVANTIDE_NAMES_HASH_TARGETS_H_
