#include "names/vocabulary.h"

#include <algorithm>

#include "names/name_hash.h"
#include "names/text_words.h"

namespace {

enum Letters { kAllLower = 1, kAllUpper = 2, kCapitalized = 4 };

// The slot where the look for a part of `hash` starts.
size_t HomeOf(uint32_t hash, const std::vector<uint64_t>& slots) {
  return static_cast<uint32_t>(hash * 0x9E3779B1u) & (slots.size() - 1);
}

// Doubles the slots, or makes the first ones.
void GrowSlots(Vocabulary* vocabulary) {
  std::vector<uint64_t> old(
      vocabulary->slots.empty() ? 1024 : 2 * vocabulary->slots.size(), 0);
  old.swap(vocabulary->slots);
  const size_t mask = vocabulary->slots.size() - 1;
  for (uint64_t entry : old) {
    if (entry == 0) continue;
    size_t i = HomeOf(static_cast<uint32_t>(entry >> 32), vocabulary->slots);
    while (vocabulary->slots[i] != 0) i = (i + 1) & mask;
    vocabulary->slots[i] = entry;
  }
}

// The index of the part `lower`, made if new; -1 when another part holds
// its hash.
int64_t PartOf(std::string_view lower, uint32_t hash, Vocabulary* vocabulary) {
  if (2 * (vocabulary->parts.size() + 1) > vocabulary->slots.size()) {
    GrowSlots(vocabulary);
  }
  const size_t mask = vocabulary->slots.size() - 1;
  size_t i = HomeOf(hash, vocabulary->slots);
  for (;; i = (i + 1) & mask) {
    const uint64_t entry = vocabulary->slots[i];
    if (entry == 0) break;
    if (static_cast<uint32_t>(entry >> 32) != hash) continue;
    const uint32_t index = static_cast<uint32_t>(entry) - 1;
    return vocabulary->parts[index].text == lower ? static_cast<int64_t>(index)
                                                  : -1;
  }
  const uint64_t index = vocabulary->parts.size();
  vocabulary->slots[i] = uint64_t{hash} << 32 | (index + 1);
  vocabulary->parts.push_back(VocabularyPart{std::string(lower), 0, 0, 0});
  return static_cast<int64_t>(index);
}

// CountParts, with room for the parts from the caller: set up once for
// many names, not once a name.
void CountPartsInto(std::string_view name, std::string_view* parts,
                    Vocabulary* vocabulary) {
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

}  // namespace

void CountParts(std::string_view name, Vocabulary* vocabulary) {
  std::string_view parts[kMaxNameParts];
  CountPartsInto(name, parts, vocabulary);
}

void CountTableParts(const NameTable& table, Vocabulary* vocabulary) {
  std::string_view parts[kMaxNameParts];
  for (size_t at = 0; at < table.arena.size();
       at += 1 + static_cast<unsigned char>(table.arena[at])) {
    CountPartsInto(NameAt(table, static_cast<uint32_t>(at)), parts, vocabulary);
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
