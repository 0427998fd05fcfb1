// The parts that the word lists build their names from, counted, and how the
// lists join them: what the hunt's last rounds make candidates of.
#ifndef QUORVANTIDE_NAMES_VOCABULARY_H_
#define QUORVANTIDE_NAMES_VOCABULARY_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "names/name_table.h"

// How a name joins its parts: the case of its letters, and the byte between
// two parts ('\0' for none). "lodDistance" is kCamel with none, "LOD_DIST"
// kUpper with '_'.
enum class PartCase { kCamel, kPascal, kLower, kUpper };
constexpr char kJointSeparators[] = {'\0', '_', '-', '.', ':'};
constexpr size_t kJointCount = 4 * sizeof kJointSeparators;

struct Joint {
  PartCase letters;
  char separator;
};

struct VocabularyPart {
  std::string text;     // in lower case
  uint64_t count = 0;   // how often the names hold it
  uint64_t starts = 0;  // how many names begin with it
  uint64_t ends = 0;    // how many names end with it
};

struct Vocabulary {
  std::vector<VocabularyPart> parts;
  // Each part's index in `parts` under the NameHash of its text, by open
  // addressing: (hash << 32 | index + 1) in a slot, 0 in a free one. Two
  // parts of one hash are one part, as the name table has them. A few
  // parts are met millions of times, so a lookup is one probe of a small
  // array, not a walk through a node-based map.
  std::vector<uint64_t> slots;
  // How many names of two or more parts join them each way, by JointIndex.
  uint64_t joints[kJointCount] = {};
};

inline size_t JointIndex(Joint joint) {
  size_t separator = 0;
  while (kJointSeparators[separator] != joint.separator) ++separator;
  return static_cast<size_t>(joint.letters) * sizeof kJointSeparators +
         separator;
}

// Counts the parts of `name` (SplitName's parts but for numbers alone),
// the first and the last as its start and end, and the way it joins them
// where that is one of the joints above.
void CountParts(std::string_view name, Vocabulary* vocabulary);

// Counts the parts of every name stored in `entries` as the name table's
// arena stores them, each a length byte and its bytes; whole entries only.
void CountNameEntries(std::string_view entries, Vocabulary* vocabulary);

// Counts the parts of every name stored in `table`'s arena.
void CountTableParts(const NameTable& table, Vocabulary* vocabulary);

// The joints that pairs are made with: camelCase, PascalCase, snake_case and
// lower case, then any other that at least a tenth of the counted names of
// two or more parts use, the most used first.
std::vector<Joint> PairJoints(const Vocabulary& vocabulary);

// Appends `part` (in lower case) as the joint writes it, at the start of a
// name or after another part; after one, the separator comes first.
void AppendPart(std::string_view part, Joint joint, bool first,
                std::string* out);

#endif  // QUORVANTIDE_NAMES_VOCABULARY_H_
