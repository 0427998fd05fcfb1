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

// What a byte is to the cutting of a name into parts.
enum ByteKind : uint8_t { kOther, kLowerLetter, kUpperLetter, kDigit };

struct ByteKinds {
  uint8_t of[256];
};

constexpr ByteKinds MakeByteKinds() {
  ByteKinds kinds{};
  for (int c = 'a'; c <= 'z'; ++c) kinds.of[c] = kLowerLetter;
  for (int c = 'A'; c <= 'Z'; ++c) kinds.of[c] = kUpperLetter;
  for (int c = '0'; c <= '9'; ++c) kinds.of[c] = kDigit;
  return kinds;
}

constexpr ByteKinds kByteKinds = MakeByteKinds();

inline ByteKind KindOf(char c) {
  return static_cast<ByteKind>(kByteKinds.of[static_cast<unsigned char>(c)]);
}

// The parts of names, a name at a time, cut as SplitName cuts them and
// counted as each ends, in one sweep over the name's bytes: the lists hold
// millions of names.
class PartCounter {
 public:
  explicit PartCounter(Vocabulary* vocabulary) : vocabulary_(vocabulary) {}

  void Count(std::string_view name) {
    count_ = 0;
    first_ = last_ = -1;
    head_ = 0;
    rest_ = kAllLower | kAllUpper | kCapitalized;
    first_end_ = second_begin_ = 0;
    const size_t n = name.size();
    size_t pieces = 0;  // the parts begun, numbers included
    bool open = false;  // whether a part is being read
    for (size_t i = 0; i < n; ++i) {
      const ByteKind kind = KindOf(name[i]);
      if (kind == kOther) {
        if (open) Close(i);
        open = false;
        continue;
      }
      if (open) {
        const ByteKind before = KindOf(name[i - 1]);
        const bool boundary =
            (before == kLowerLetter && kind == kUpperLetter) ||
            (before == kUpperLetter && kind == kUpperLetter && i + 1 < n &&
             KindOf(name[i + 1]) == kLowerLetter) ||
            ((before == kDigit) != (kind == kDigit));
        if (boundary) Close(i);
        open = !boundary;
      }
      if (!open) {
        open = true;
        Begin(i);
        // Past the parts SplitName gives, the rest is the last part: up to
        // the end of the last letter or digit, whatever lies between.
        if (++pieces == kMaxNameParts) {
          size_t end = n;
          while (KindOf(name[end - 1]) == kOther) --end;
          for (; i < end; ++i) Add(name[i]);
          Close(end);
          open = false;
          break;
        }
      }
      Add(name[i]);
    }
    if (open) Close(n);
    Finish(name);
  }

 private:
  void Begin(size_t at) {
    begin_ = at;
    size_ = 0;
    state_ = 0;
    upper_ = lower_case_ = false;
    rest_lower_ = true;
  }

  // Its byte in lower case, into the part's hash and letters.
  void Add(char c) {
    const char lower = LowerByte(c);
    upper_ |= lower != c;
    lower_case_ |= UpperByte(lower) != c;
    if (size_ == 0) first_byte_ = c;
    if (size_ > 0) rest_lower_ &= lower == c;
    lower_[size_++] = lower;
    state_ = HashByte(state_, static_cast<unsigned char>(lower));
  }

  void Close(size_t end) {
    if (LowerByte(lower_[0]) == UpperByte(lower_[0])) return;  // a number
    const int letters =
        (upper_ ? 0 : kAllLower) | (lower_case_ ? 0 : kAllUpper) |
        (UpperByte(first_byte_) == first_byte_ && rest_lower_ ? kCapitalized
                                                              : 0);
    if (count_ == 0) {
      head_ = letters;
      first_end_ = end;
    } else {
      rest_ &= letters;
      if (count_ == 1) second_begin_ = begin_;
    }
    ++count_;
    const int64_t index = PartOf(std::string_view(lower_, size_),
                                 FinishHash(state_), vocabulary_);
    if (index < 0) return;
    ++vocabulary_->parts[index].count;
    if (count_ == 1) first_ = index;
    last_ = index;
  }

  // The name's first and last parts, and the way it joins them.
  void Finish(std::string_view name) {
    if (first_ >= 0) ++vocabulary_->parts[first_].starts;
    if (last_ >= 0) ++vocabulary_->parts[last_].ends;
    if (count_ < 2) return;
    // The joint: the bytes between the first two parts, and their letters.
    const size_t between = second_begin_ - first_end_;
    const char separator = between == 0 ? '\0' : name[first_end_];
    if (between > 1 ||
        std::find(std::begin(kJointSeparators), std::end(kJointSeparators),
                  separator) == std::end(kJointSeparators)) {
      return;
    }
    PartCase letters;
    if ((head_ & rest_ & kAllLower) != 0) {
      letters = PartCase::kLower;
    } else if ((head_ & rest_ & kAllUpper) != 0) {
      letters = PartCase::kUpper;
    } else if ((head_ & kAllLower) != 0 && (rest_ & kCapitalized) != 0) {
      letters = PartCase::kCamel;
    } else if ((head_ & rest_ & kCapitalized) != 0) {
      letters = PartCase::kPascal;
    } else {
      return;
    }
    ++vocabulary_->joints[JointIndex(Joint{letters, separator})];
  }

  Vocabulary* vocabulary_;
  // The part being read: where it begins, its bytes in lower case, their
  // hash, and its letters so far.
  size_t begin_ = 0;
  char first_byte_ = '\0';
  char lower_[kMaxNameLength] = {};
  size_t size_ = 0;
  uint32_t state_ = 0;
  bool upper_ = false, lower_case_ = false, rest_lower_ = true;
  // The name's parts but numbers: how many, the first's and last's index
  // (-1 for none, or one whose hash another part holds), the letters of the
  // first and those all the others share, and the bytes between the first
  // two.
  size_t count_ = 0;
  int64_t first_ = -1, last_ = -1;
  int head_ = 0, rest_ = kAllLower | kAllUpper | kCapitalized;
  size_t first_end_ = 0, second_begin_ = 0;
};

}  // namespace

void CountParts(std::string_view name, Vocabulary* vocabulary) {
  PartCounter(vocabulary).Count(name);
}

void CountNameEntries(std::string_view entries, Vocabulary* vocabulary) {
  PartCounter counter(vocabulary);
  for (size_t at = 0; at < entries.size();
       at += 1 + static_cast<unsigned char>(entries[at])) {
    counter.Count(
        entries.substr(at + 1, static_cast<unsigned char>(entries[at])));
  }
}

void CountTableParts(const NameTable& table, Vocabulary* vocabulary) {
  CountNameEntries(std::string_view(table.arena.data(), table.arena.size()),
                   vocabulary);
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
