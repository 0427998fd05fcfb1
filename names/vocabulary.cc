#include "names/vocabulary.h"

#include <algorithm>

#include "names/name_hash.h"
#include "names/text_words.h"

namespace {

enum Letters { kAllLower = 1, kAllUpper = 2, kCapitalized = 4 };

// The index of the part `lower`, made if new; -1 when another part holds
// its hash.
int64_t PartOf(std::string_view lower, uint32_t hash, Vocabulary* vocabulary) {
  const auto [at, added] = vocabulary->index.try_emplace(
      hash, static_cast<uint32_t>(vocabulary->parts.size()));
  if (added) {
    vocabulary->parts.push_back(VocabularyPart{std::string(lower), 0, 0, 0});
  }
  return vocabulary->parts[at->second].text == lower
             ? static_cast<int64_t>(at->second)
             : -1;
}

}  // namespace

void CountParts(std::string_view name, Vocabulary* vocabulary) {
  std::string_view parts[kMaxNameParts];
  int part_letters[kMaxNameParts];
  size_t count = 0;
  int64_t first = -1, last = -1;
  char lower[kMaxNameLength];
  for (size_t i = 0, n = SplitName(name, parts); i < n; ++i) {
    const std::string_view part = parts[i];
    if (LowerByte(part[0]) == UpperByte(part[0])) continue;  // a number
    // Its bytes in lower case, their hash and its letters, in one sweep.
    uint32_t state = 0;
    bool upper = false, lower_case = false, rest_lower = true;
    for (size_t b = 0; b < part.size(); ++b) {
      const char c = LowerByte(part[b]);
      upper |= c != part[b];
      lower_case |= UpperByte(c) != part[b];
      if (b > 0) rest_lower &= c == part[b];
      lower[b] = c;
      state = HashByte(state, static_cast<unsigned char>(c));
    }
    part_letters[count] =
        (upper ? 0 : kAllLower) | (lower_case ? 0 : kAllUpper) |
        (UpperByte(part[0]) == part[0] && rest_lower ? kCapitalized : 0);
    parts[count++] = part;
    const int64_t index = PartOf(std::string_view(lower, part.size()),
                                 FinishHash(state), vocabulary);
    if (index < 0) continue;
    ++vocabulary->parts[index].count;
    if (count == 1) first = index;
    last = index;
  }
  if (first >= 0) ++vocabulary->parts[first].starts;
  if (last >= 0) ++vocabulary->parts[last].ends;
  if (count < 2) return;
  // The joint: the bytes between the first two parts, and their letters.
  const char* gap = parts[0].data() + parts[0].size();
  const size_t between = static_cast<size_t>(parts[1].data() - gap);
  const char separator = between == 0 ? '\0' : *gap;
  if (between > 1 ||
      std::find(std::begin(kJointSeparators), std::end(kJointSeparators),
                separator) == std::end(kJointSeparators)) {
    return;
  }
  int rest = kAllLower | kAllUpper | kCapitalized;
  for (size_t i = 1; i < count; ++i) rest &= part_letters[i];
  const int head = part_letters[0];
  PartCase letters;
  if ((head & rest & kAllLower) != 0) {
    letters = PartCase::kLower;
  } else if ((head & rest & kAllUpper) != 0) {
    letters = PartCase::kUpper;
  } else if ((head & kAllLower) != 0 && (rest & kCapitalized) != 0) {
    letters = PartCase::kCamel;
  } else if ((head & rest & kCapitalized) != 0) {
    letters = PartCase::kPascal;
  } else {
    return;
  }
  ++vocabulary->joints[JointIndex(Joint{letters, separator})];
}

void CountTableParts(const NameTable& table, Vocabulary* vocabulary) {
  for (size_t at = 0; at < table.arena.size();
       at += 1 + static_cast<unsigned char>(table.arena[at])) {
    CountParts(NameAt(table, static_cast<uint32_t>(at)), vocabulary);
  }
}

std::vector<Joint> PairJoints(const Vocabulary& vocabulary) {
  std::vector<Joint> joints = {{PartCase::kCamel, '\0'},
                               {PartCase::kPascal, '\0'},
                               {PartCase::kLower, '_'},
                               {PartCase::kLower, '\0'}};
  uint64_t total = 0;
  for (uint64_t count : vocabulary.joints) total += count;
  std::vector<std::pair<uint64_t, size_t>> others;
  for (size_t i = 0; i < kJointCount; ++i) {
    if (10 * vocabulary.joints[i] >= total && vocabulary.joints[i] > 0) {
      others.emplace_back(vocabulary.joints[i], i);
    }
  }
  std::stable_sort(
      others.begin(), others.end(),
      [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [count, index] : others) {
    const Joint joint{static_cast<PartCase>(index / sizeof kJointSeparators),
                      kJointSeparators[index % sizeof kJointSeparators]};
    if (std::none_of(joints.begin(), joints.end(), [&](const Joint& j) {
          return JointIndex(j) == JointIndex(joint);
        })) {
      joints.push_back(joint);
    }
  }
  return joints;
}

void AppendPart(std::string_view part, Joint joint, bool first,
                std::string* out) {
  if (!first && joint.separator != '\0') out->push_back(joint.separator);
  const bool capital = joint.letters == PartCase::kPascal ||
                       (joint.letters == PartCase::kCamel && !first);
  for (size_t i = 0; i < part.size(); ++i) {
    out->push_back(joint.letters == PartCase::kUpper || (capital && i == 0)
                       ? UpperByte(part[i])
                       : part[i]);
  }
}
