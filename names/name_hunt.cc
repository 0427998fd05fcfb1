#include "names/name_hunt.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "names/name_hash.h"
#include "names/text_words.h"

namespace {

// Tries each word of `words` against `unknown`, but for those that `tried`
// (when given) holds already.
void MatchTable(NameHunt* hunt, const NameTable& words, const NameTable* tried,
                HuntSource source, const HashTargets& unknown) {
  const auto targets = static_cast<double>(unknown.sorted.size());
  for (size_t at = 0; at < words.arena.size();
       at += 1 + static_cast<unsigned char>(words.arena[at])) {
    const std::string_view word = NameAt(words, static_cast<uint32_t>(at));
    const uint32_t member = NameHash(word);
    if (tried != nullptr && FindSlot(*tried, member) != nullptr) continue;
    const uint32_t archive = ArchiveItemHash(word);
    if (!SpendTries(hunt, (archive == member ? 1 : 2) * targets)) return;
    if (HoldsHash(unknown, member)) {
      OfferFind(hunt, member, HuntFind{std::string(word), false, source});
    }
    if (archive != member && HoldsHash(unknown, archive)) {
      OfferFind(hunt, archive, HuntFind{std::string(word), true, source});
    }
  }
}

// How many pairs of a count from `starts` and one from `ends`, both in
// falling order, have a product of at least `floor`.
uint64_t PairsAtLeast(const std::vector<uint64_t>& starts,
                      const std::vector<uint64_t>& ends, uint64_t floor) {
  uint64_t count = 0;
  size_t j = ends.size();
  for (uint64_t start : starts) {
    while (j > 0 && start * ends[j - 1] < floor) --j;
    if (j == 0) break;
    count += j;
  }
  return count;
}

}  // namespace

bool SpendTries(NameHunt* hunt, double tries) {
  if (hunt->tried + tries > hunt->limit) {
    hunt->exhausted = true;
    return false;
  }
  hunt->tried += tries;
  return true;
}

void OfferFind(NameHunt* hunt, uint32_t hash, HuntFind find) {
  auto [kept, added] = hunt->finds.try_emplace(hash, find);
  if (!added && find.source < kept->second.source) {
    kept->second = std::move(find);
  }
}

void MatchWords(NameHunt* hunt, const HashTargets& unknown) {
  MatchTable(hunt, hunt->data_words, nullptr, HuntSource::kData, unknown);
  MatchTable(hunt, hunt->other_words, &hunt->data_words, HuntSource::kWords,
             unknown);
  for (VariantBatch& batch : hunt->variants) {
    if (hunt->exhausted || !SpendTries(hunt, batch.tries)) return;
    for (size_t i = 0; i < batch.finds.size(); ++i) {
      OfferFind(hunt, batch.hashes[i], std::move(batch.finds[i]));
    }
  }
}

void MatchVocabulary(NameHunt* hunt, const HashTargets& unknown) {
  if (hunt->exhausted || unknown.sorted.empty()) return;
  const std::vector<VocabularyPart>& parts = hunt->vocabulary.parts;
  std::vector<uint32_t> order(parts.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return parts[a].count > parts[b].count;
  });
  const auto targets = static_cast<double>(unknown.sorted.size());
  std::string forms[3];
  for (uint32_t index : order) {
    const std::string& lower = parts[index].text;
    forms[0] = lower;
    forms[1] = lower;
    forms[1][0] = UpperByte(forms[1][0]);
    forms[2] = lower;
    for (char& c : forms[2]) c = UpperByte(c);
    // One letter Capitalized is the same in UPPER case.
    const size_t count = forms[2] == forms[1] ? 2 : 3;
    if (!SpendTries(hunt, static_cast<double>(count) * targets)) return;
    for (size_t f = 0; f < count; ++f) {
      const uint32_t hash = NameHash(forms[f]);
      if (HoldsHash(unknown, hash)) {
        OfferFind(hunt, hash,
                  HuntFind{forms[f], false, HuntSource::kVocabulary});
      }
    }
  }
}

void MatchVocabularyPairs(NameHunt* hunt, const HashTargets& unknown,
                          uint64_t most) {
  if (hunt->exhausted || unknown.sorted.empty()) return;
  const std::vector<VocabularyPart>& parts = hunt->vocabulary.parts;
  // The parts that names begin with, and those they end with, the most
  // frequent first, and their counts.
  std::vector<uint32_t> firsts, seconds;
  for (uint32_t i = 0; i < parts.size(); ++i) {
    if (parts[i].starts > 0) firsts.push_back(i);
    if (parts[i].ends > 0) seconds.push_back(i);
  }
  std::stable_sort(firsts.begin(), firsts.end(), [&](uint32_t a, uint32_t b) {
    return parts[a].starts > parts[b].starts;
  });
  std::stable_sort(seconds.begin(), seconds.end(), [&](uint32_t a, uint32_t b) {
    return parts[a].ends > parts[b].ends;
  });
  std::vector<uint64_t> starts, ends;
  for (uint32_t i : firsts) starts.push_back(parts[i].starts);
  for (uint32_t j : seconds) ends.push_back(parts[j].ends);
  const std::vector<Joint> joints = PairJoints(hunt->vocabulary);
  const double tries = static_cast<double>(joints.size()) *
                       static_cast<double>(unknown.sorted.size());
  // As many pairs as the budget and `most` allow: the best of them are
  // those whose product of counts is at least `floor`.
  const double affordable = std::floor((hunt->limit - hunt->tried) / tries);
  const uint64_t all = PairsAtLeast(starts, ends, 1);
  const uint64_t wanted = std::min<uint64_t>(
      std::min(most, all),
      affordable < 1e18 ? static_cast<uint64_t>(std::max(affordable, 0.0))
                        : UINT64_MAX);
  if (wanted < all && wanted < most) hunt->exhausted = true;
  if (wanted == 0) return;
  uint64_t low = 1, high = starts[0] * ends[0];
  while (low < high) {
    const uint64_t middle = low + (high - low + 1) / 2;
    if (PairsAtLeast(starts, ends, middle) >= wanted) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  const uint64_t floor = low;
  // The bytes of each second part as each joint writes it after another.
  size_t used_seconds = 0;
  while (used_seconds < ends.size() &&
         starts[0] * ends[used_seconds] >= floor) {
    ++used_seconds;
  }
  std::string following;
  std::vector<uint32_t> at(used_seconds * joints.size() + 1, 0);
  for (size_t j = 0; j < used_seconds; ++j) {
    for (size_t k = 0; k < joints.size(); ++k) {
      AppendPart(parts[seconds[j]].text, joints[k], false, &following);
      at[j * joints.size() + k + 1] = static_cast<uint32_t>(following.size());
    }
  }
  // Those above the floor first, then those on it, the parts met first
  // first. Each pair goes on from its first part's hash state.
  uint64_t taken = 0;
  std::vector<uint32_t> states(joints.size());
  std::string name;
  for (const bool above : {true, false}) {
    for (size_t i = 0; i < firsts.size() && taken < wanted; ++i) {
      for (size_t k = 0; k < joints.size(); ++k) {
        name.clear();
        AppendPart(parts[firsts[i]].text, joints[k], true, &name);
        states[k] = HashBytes(0, name);
      }
      for (size_t j = 0; j < used_seconds && taken < wanted; ++j) {
        const uint64_t product = starts[i] * ends[j];
        if (product < floor) break;
        if ((product > floor) != above) continue;
        ++taken;
        if (!SpendTries(hunt, tries)) return;
        for (size_t k = 0; k < joints.size(); ++k) {
          const size_t begin = at[j * joints.size() + k];
          const std::string_view bytes(following.data() + begin,
                                       at[j * joints.size() + k + 1] - begin);
          const uint32_t hash = FinishHash(HashBytes(states[k], bytes));
          if (HoldsHash(unknown, hash)) {
            name.clear();
            AppendPart(parts[firsts[i]].text, joints[k], true, &name);
            OfferFind(hunt, hash,
                      HuntFind{name + std::string(bytes), false,
                               HuntSource::kVocabulary});
          }
        }
      }
    }
  }
}
