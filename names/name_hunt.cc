#include "names/name_hunt.h"

#include <algorithm>
#include <queue>
#include <tuple>
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
  // frequent first.
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
  if (firsts.empty() || seconds.empty()) return;
  const std::vector<Joint> joints = PairJoints(hunt->vocabulary);
  // The hash state after each first part, in each joint, made when the
  // part is first taken.
  std::vector<uint32_t> states(firsts.size() * joints.size());
  std::vector<bool> ready(firsts.size(), false);
  const double tries = static_cast<double>(joints.size()) *
                       static_cast<double>(unknown.sorted.size());
  // Pairs (i, j) of firsts[i] and seconds[j] in falling order of the
  // product of their counts, and among equal ones, of the parts met first:
  // each pair taken puts its neighbours in line.
  using Pair = std::tuple<double, size_t, size_t>;
  auto later = [](const Pair& a, const Pair& b) {
    const size_t a_sum = std::get<1>(a) + std::get<2>(a);
    const size_t b_sum = std::get<1>(b) + std::get<2>(b);
    return std::get<0>(a) != std::get<0>(b) ? std::get<0>(a) < std::get<0>(b)
           : a_sum != b_sum                 ? a_sum > b_sum
                                            : std::get<1>(a) > std::get<1>(b);
  };
  std::priority_queue<Pair, std::vector<Pair>, decltype(later)> line(later);
  auto score = [&](size_t i, size_t j) {
    return static_cast<double>(parts[firsts[i]].starts) *
           static_cast<double>(parts[seconds[j]].ends);
  };
  line.emplace(score(0, 0), 0, 0);
  std::string name;
  for (uint64_t taken = 0; !line.empty() && taken < most;) {
    const auto [product, i, j] = line.top();
    line.pop();
    if (j == 0 && i + 1 < firsts.size())
      line.emplace(score(i + 1, 0), i + 1, 0);
    if (j + 1 < seconds.size()) line.emplace(score(i, j + 1), i, j + 1);
    ++taken;
    if (!SpendTries(hunt, tries)) return;
    const std::string& first = parts[firsts[i]].text;
    const std::string& second = parts[seconds[j]].text;
    if (!ready[i]) {
      for (size_t k = 0; k < joints.size(); ++k) {
        name.clear();
        AppendPart(first, joints[k], true, &name);
        states[i * joints.size() + k] = HashBytes(0, name);
      }
      ready[i] = true;
    }
    for (size_t k = 0; k < joints.size(); ++k) {
      // The pair goes on from its first part's state.
      name.clear();
      AppendPart(second, joints[k], false, &name);
      const uint32_t hash =
          FinishHash(HashBytes(states[i * joints.size() + k], name));
      if (HoldsHash(unknown, hash)) {
        std::string found;
        AppendPart(first, joints[k], true, &found);
        OfferFind(hunt, hash,
                  HuntFind{found + name, false, HuntSource::kVocabulary});
      }
    }
  }
}
