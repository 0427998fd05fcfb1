// The name hunt: names for the hashes that no word list knows, found among
// the words of the data itself, of other files, their variants, and the
// parts of the word lists' own names, within a budget of chance matches.
#ifndef QUORVANTIDE_NAMES_NAME_HUNT_H_
#define QUORVANTIDE_NAMES_NAME_HUNT_H_

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "names/hash_targets.h"
#include "names/name_table.h"
#include "names/name_variants.h"
#include "names/vocabulary.h"

// Where a name was found, the surest first.
enum class HuntSource { kData, kWords, kVariant, kVocabulary };

// The chance matches a hunt may expect, unless told otherwise: one false
// line in four runs.
constexpr double kDefaultChanceBudget = 0.25;
constexpr double kHashValues = 4294967296.0;

struct HuntFind {
  std::string name;
  bool archive = false;  // its archive hash matched, else its member hash
  HuntSource source = HuntSource::kData;
};

// What the variants of one data file matched, and what trying them costs.
struct VariantBatch {
  double tries = 0;  // candidates times the hashes they were tried against
  std::vector<HuntFind> finds;
  std::vector<uint32_t> hashes;  // each find's hash
};

struct NameHunt {
  // The distinct words of the data files and of the other files
  // (--words-from), each kept once, under its member hash.
  NameTable data_words;
  NameTable other_words;
  // The name found for each hash.
  std::unordered_map<uint32_t, HuntFind> finds;
  // The variants of each data file, in the order the files were read:
  // tried only once the surer words are.
  std::vector<VariantBatch> variants;
  VariantScratch variant_scratch;
  // The parts of the word lists' names (counted while they load) and of the
  // other files' words.
  Vocabulary vocabulary;
  // Over every candidate tried, the number of hashes it was tried against:
  // divided by 2^32, the number of chance matches to expect. It never
  // passes `limit`; `exhausted` once a candidate was left for that.
  double tried = 0;
  double limit = kDefaultChanceBudget * kHashValues;
  bool exhausted = false;
};

// Counts `tries` more against the budget and returns true, unless they
// would pass it: then nothing is counted, the hunt is exhausted, and false.
bool SpendTries(NameHunt* hunt, double tries);

// Keeps `find` for `hash`, unless a find from a surer source, or an equally
// sure one offered earlier, is kept already.
void OfferFind(NameHunt* hunt, uint32_t hash, HuntFind find);

// Tries every word of the data and then of the other files, under its
// member hash and its archive hash, against `unknown`, the hashes that the
// run left unnamed, and keeps what matches; then the files' variants, a
// file at a time. Each while the budget lasts.
void MatchWords(NameHunt* hunt, const HashTargets& unknown);

// Tries each part of the vocabulary alone, the most frequent first, in lower
// case, Capitalized and UPPER case, against `unknown`, while the budget
// lasts. A lower-case name is kept as a member name: its archive hash is
// the same.
void MatchVocabulary(NameHunt* hunt, const HashTargets& unknown);

// Tries pairs of parts, the first one that names begin with and the second
// one that they end with, the pair whose counts give the largest product
// first, joined in each of PairJoints, against `unknown`, while the budget
// lasts and at most `most` pairs.
void MatchVocabularyPairs(NameHunt* hunt, const HashTargets& unknown,
                          uint64_t most);

// The number of chance matches to expect among the finds.
inline double ExpectedChanceMatches(const NameHunt& hunt) {
  return hunt.tried / kHashValues;
}

#endif  // QUORVANTIDE_NAMES_NAME_HUNT_H_
