#include "names/name_hunt.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/background.h"
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

// The pairs to try, and what they are made of, read by both shares. Row i
// is the first part firsts[i]; it is tried before the second parts
// seconds[0..taken[i]), which fall from row to row. The pairs are offered
// in the order of rows, those above the floor first (seconds[0..above[i])),
// then those on it: pair (i, j) has its place there.
struct PairCandidates {
  const std::vector<Joint>& joints;
  const HashTargets& unknown;
  std::vector<std::string> heads;  // each row's first part, in lower case
  std::vector<size_t> above, taken;
  std::vector<uint64_t> above_before, on_before;  // pairs in earlier rows
  uint64_t all_above = 0;
  // The hash state of each row's first part as joints[k] writes it, at
  // states[k * rows + i].
  std::vector<uint32_t> states;
  // The bytes of each second part as each joint writes it after another:
  // those of seconds[j] and joints[k] end at at[j * joints.size() + k + 1].
  std::string following;
  std::vector<uint32_t> at;  // from 0

  uint64_t Place(size_t i, size_t j) const {
    return j < above[i] ? above_before[i] + j
                        : all_above + on_before[i] + (j - above[i]);
  }
};

// A share of the pairs, those of every other second part, and the names
// among them whose hashes are unknown: each with its place among all the
// pairs' names (its pair's, times the joints, plus its joint's) and its
// hash. Its thread's alone while it runs.
struct PairShare {
  const PairCandidates* candidates = nullptr;
  size_t parity = 0;  // of the second parts it takes
  struct Find {
    uint64_t place;
    uint32_t hash;
    std::string name;
  };
  std::vector<Find> finds;
};

// Below this many pairs, a thread costs more than it saves.
constexpr uint64_t kPairsForAThread = uint64_t{1} << 16;

// Tries the pairs of a share. Each pair goes on from its first part's hash
// state; all the first parts that a second part follows take its bytes side
// by side, byte by byte.
void TryPairShare(void* argument) {
  auto* share = static_cast<PairShare*>(argument);
  const PairCandidates& c = *share->candidates;
  const size_t joints = c.joints.size(), rows = c.heads.size();
  std::vector<uint32_t> hashes(rows);
  const size_t columns = (c.at.size() - 1) / joints;  // the second parts
  size_t paired = rows;  // the rows that the second part follows
  for (size_t j = share->parity; j < columns; j += 2) {
    while (paired > 0 && c.taken[paired - 1] <= j) --paired;
    if (paired == 0) break;
    for (size_t k = 0; k < joints; ++k) {
      const uint32_t begin = c.at[j * joints + k];
      const std::string_view bytes(c.following.data() + begin,
                                   c.at[j * joints + k + 1] - begin);
      const uint32_t* start = c.states.data() + k * rows;
      for (size_t i = 0; i < paired; ++i) hashes[i] = start[i];
      for (char byte : bytes) {
        for (size_t i = 0; i < paired; ++i) {
          hashes[i] = HashByte(hashes[i], static_cast<unsigned char>(byte));
        }
      }
      for (size_t i = 0; i < paired; ++i) {
        const uint32_t hash = FinishHash(hashes[i]);
        if (!HoldsHash(c.unknown, hash)) continue;
        std::string name;
        AppendPart(c.heads[i], c.joints[k], true, &name);
        name.append(bytes.data(), bytes.size());
        share->finds.push_back(
            PairShare::Find{c.Place(i, j) * joints + k, hash, std::move(name)});
      }
    }
  }
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
  uint64_t wanted = std::min<uint64_t>(
      std::min(most, all),
      affordable < 1e18 ? static_cast<uint64_t>(std::max(affordable, 0.0))
                        : UINT64_MAX);
  // Charged at once: what the division rounded up must not pass the limit.
  while (wanted > 0 &&
         hunt->tried + static_cast<double>(wanted) * tries > hunt->limit) {
    --wanted;
  }
  if (wanted < all && wanted < most) hunt->exhausted = true;
  if (wanted == 0) return;
  hunt->tried += static_cast<double>(wanted) * tries;
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
  // Those above the floor first, then those on it, the parts met first
  // first: each row's pairs above it come before those on it, since the
  // second parts are in falling order.
  PairCandidates candidates{joints, unknown, {}, {}, {}, {},
                            {},     0,       {}, {}, {0}};
  std::vector<size_t> on;
  for (size_t i = 0, a = ends.size(), o = ends.size(); i < starts.size(); ++i) {
    while (a > 0 && starts[i] * ends[a - 1] <= floor) --a;
    while (o > 0 && starts[i] * ends[o - 1] < floor) --o;
    if (o == 0) break;
    candidates.heads.push_back(parts[firsts[i]].text);
    candidates.above.push_back(a);
    candidates.above_before.push_back(candidates.all_above);
    candidates.all_above += a;
    on.push_back(o);
  }
  const size_t rows = candidates.heads.size();
  uint64_t left = wanted - candidates.all_above, on_before = 0;
  for (size_t i = 0; i < rows; ++i) {
    const size_t taken_on = static_cast<size_t>(
        std::min<uint64_t>(on[i] - candidates.above[i], left));
    left -= taken_on;
    candidates.taken.push_back(candidates.above[i] + taken_on);
    candidates.on_before.push_back(on_before);
    on_before += taken_on;
  }
  candidates.states.resize(joints.size() * rows);
  std::string name;
  for (size_t k = 0; k < joints.size(); ++k) {
    for (size_t i = 0; i < rows; ++i) {
      name.clear();
      AppendPart(candidates.heads[i], joints[k], true, &name);
      candidates.states[k * rows + i] = HashBytes(0, name);
    }
  }
  for (size_t j = 0; rows > 0 && j < candidates.taken[0]; ++j) {
    for (size_t k = 0; k < joints.size(); ++k) {
      AppendPart(parts[seconds[j]].text, joints[k], false,
                 &candidates.following);
      candidates.at.push_back(
          static_cast<uint32_t>(candidates.following.size()));
    }
  }
  // Two shares of every other second part, the second on a thread of its
  // own when there are enough pairs to pay for one; their finds are offered
  // in the order of their places, as if one thread had tried the pairs in
  // turn.
  PairShare shares[2];
  for (size_t parity : {0, 1}) {
    shares[parity].candidates = &candidates;
    shares[parity].parity = parity;
  }
  BackgroundTask second;
  if (wanted >= kPairsForAThread) {
    StartBackground(&second, TryPairShare, &shares[1]);
  } else {
    TryPairShare(&shares[1]);
  }
  TryPairShare(&shares[0]);
  FinishBackground(&second);
  std::vector<PairShare::Find>& finds = shares[0].finds;
  for (PairShare::Find& find : shares[1].finds) {
    finds.push_back(std::move(find));
  }
  std::sort(finds.begin(), finds.end(),
            [](const PairShare::Find& a, const PairShare::Find& b) {
              return a.place < b.place;
            });
  for (PairShare::Find& find : finds) {
    OfferFind(hunt, find.hash,
              HuntFind{std::move(find.name), false, HuntSource::kVocabulary});
  }
}
