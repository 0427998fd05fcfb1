#include "names/name_variants.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "names/name_hash.h"
#include "names/text_words.h"

namespace {

enum Style { kCamel, kPascal, kSnake, kLower, kStyles };

// Appends the parts joined in `style`; `first` when they start the name,
// else when they follow other parts joined the same way.
void Join(const std::vector<std::string_view>& parts, Style style, bool first,
          std::string* out) {
  for (size_t p = 0; p < parts.size(); ++p) {
    const bool leading = first && p == 0;
    if (style == kSnake && !leading) out->push_back('_');
    const bool capital =
        (style == kPascal || style == kCamel) && !(style == kCamel && leading);
    for (size_t i = 0; i < parts[p].size(); ++i) {
      out->push_back(capital && i == 0 ? UpperByte(parts[p][i])
                                       : LowerByte(parts[p][i]));
    }
  }
}

// A name or a part of one, ready to start a variant or to follow another.
struct Unit {
  std::vector<std::string_view> parts;
  uint32_t start[kStyles];         // the hash state after it, first
  std::string following[kStyles];  // its bytes when it follows another
};

}  // namespace

uint64_t TryVariants(const std::vector<std::string_view>& names,
                     const HashTargets& targets, bool pairs,
                     std::vector<VariantMatch>* matches) {
  uint64_t tried = 0;
  auto try_hash = [&](uint32_t hash, auto make_name) {
    ++tried;
    if (HoldsHash(targets, hash)) matches->push_back({hash, make_name()});
  };
  // The units: each name, then those of its parts not seen before.
  std::vector<Unit> units;
  std::unordered_set<std::string> seen_parts;
  std::string_view parts[kMaxNameParts];
  std::string text;
  for (std::string_view name : names) {
    const size_t count = SplitName(name, parts);
    if (count == 0) continue;
    units.push_back(Unit{{parts, parts + count}, {}, {}});
    for (size_t p = 0; p < count && count > 1; ++p) {
      text.assign(parts[p]);
      std::transform(text.begin(), text.end(), text.begin(), LowerByte);
      if (seen_parts.insert(text).second) {
        units.push_back(Unit{{parts[p]}, {}, {}});
      }
    }
  }
  for (Unit& unit : units) {
    for (int s = 0; s < kStyles; ++s) {
      text.clear();
      Join(unit.parts, static_cast<Style>(s), true, &text);
      unit.start[s] = HashBytes(0, text);
      Join(unit.parts, static_cast<Style>(s), false, &unit.following[s]);
    }
  }
  // Each name joined again.
  for (const Unit& unit : units) {
    for (int s = 0; s < kStyles; ++s) {
      try_hash(FinishHash(unit.start[s]), [&] {
        std::string name;
        Join(unit.parts, static_cast<Style>(s), true, &name);
        return name;
      });
    }
  }
  // Numbered siblings, once for each stem and width.
  std::unordered_set<std::string> stems;
  for (std::string_view name : names) {
    size_t width = 0;
    while (width < name.size() && name[name.size() - 1 - width] >= '0' &&
           name[name.size() - 1 - width] <= '9') {
      ++width;
    }
    if (width == 0 || width == name.size() || width > 8) continue;
    const std::string_view stem = name.substr(0, name.size() - width);
    if (!stems.insert(std::string(stem) + static_cast<char>('0' + width))
             .second) {
      continue;
    }
    const uint32_t state = HashBytes(0, stem);
    auto try_number = [&](std::string_view digits) {
      try_hash(FinishHash(HashBytes(state, digits)),
               [&] { return std::string(stem) + std::string(digits); });
    };
    char padded[8];
    for (size_t n = 0; n < 100; ++n) {
      const char plain[2] = {static_cast<char>('0' + (n < 10 ? n : n / 10)),
                             static_cast<char>('0' + n % 10)};
      const size_t length = n < 10 ? 1 : 2;
      try_number(std::string_view(plain, length));
      // As wide as the original, where that is wider.
      if (width > length) {
        std::memset(padded, '0', width - length);
        std::memcpy(padded + width - length, plain, length);
        try_number(std::string_view(padded, width));
      }
    }
  }
  // Pairs. Every first unit goes on with the same bytes of the second, so
  // the hashes of all first units are taken side by side, byte by byte.
  const size_t paired = pairs ? std::min(units.size(), kPairedUnits) : 0;
  uint32_t states[kPairedUnits];
  for (size_t b = 0; b < paired; ++b) {
    for (int s = 0; s < kStyles; ++s) {
      for (size_t a = 0; a < paired; ++a) states[a] = units[a].start[s];
      for (char c : units[b].following[s]) {
        for (size_t a = 0; a < paired; ++a) {
          states[a] = HashByte(states[a], static_cast<unsigned char>(c));
        }
      }
      for (size_t a = 0; a < paired; ++a) {
        if (a == b) continue;
        try_hash(FinishHash(states[a]), [&] {
          std::string name;
          Join(units[a].parts, static_cast<Style>(s), true, &name);
          return name + units[b].following[s];
        });
      }
    }
  }
  return tried;
}
