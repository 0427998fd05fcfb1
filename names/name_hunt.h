// The name hunt: names for the hashes that no word list knows, found among
// the words of the data itself, of other files, and their variants.
#ifndef QUORVANTIDE_NAMES_NAME_HUNT_H_
#define QUORVANTIDE_NAMES_NAME_HUNT_H_

#include <cstdint>
#include <string>
#include <unordered_map>

#include "names/hash_targets.h"
#include "names/name_table.h"

// Where a name was found, the surest first.
enum class HuntSource { kData, kWords, kVariant };

struct HuntFind {
  std::string name;
  bool archive = false;  // its archive hash matched, else its member hash
  HuntSource source = HuntSource::kData;
};

struct NameHunt {
  // The distinct words of the data files and of the other files
  // (--words-from), each kept once, under its member hash.
  NameTable data_words;
  NameTable other_words;
  // The name found for each hash.
  std::unordered_map<uint32_t, HuntFind> finds;
  // Over every candidate tried, the number of hashes it was tried against:
  // divided by 2^32, the number of chance matches to expect.
  double tried = 0;
};

// Keeps `find` for `hash`, unless a find from a surer source, or an equally
// sure one offered earlier, is kept already.
void OfferFind(NameHunt* hunt, uint32_t hash, HuntFind find);

// Tries every word of the data and then of the other files, under its
// member hash and its archive hash, against `unknown`, the hashes that the
// run left unnamed, and keeps what matches.
void MatchWords(NameHunt* hunt, const HashTargets& unknown);

// The number of chance matches to expect among the finds.
inline double ExpectedChanceMatches(const NameHunt& hunt) {
  return hunt.tried / 4294967296.0;
}

#endif  // QUORVANTIDE_NAMES_NAME_HUNT_H_
