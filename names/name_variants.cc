#include "names/name_variants.h"

#include <algorithm>
#include <cstring>

#include "names/name_hash.h"
#include "names/text_words.h"

namespace {

enum Style { kCamel, kPascal, kSnake, kLower, kStyles };

// Appends the parts joined in `style`; `first` when they start the name,
// else when they follow other parts joined the same way.
void Join(std::pair<const std::string_view*, size_t> unit, Style style,
          bool first, std::string* out) {
  const std::string_view* parts = unit.first;
  for (size_t p = 0; p < unit.second; ++p) {
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

}  // namespace

uint64_t TryVariants(const std::vector<std::string_view>& names,
                     const HashTargets& targets, bool pairs,
                     std::vector<VariantMatch>* matches,
                     VariantScratch* scratch) {
  uint64_t tried = 0;
  auto try_hash = [&](uint32_t hash, auto make_name) {
    ++tried;
    if (HoldsHash(targets, hash)) matches->push_back({hash, make_name()});
  };
  using Unit = VariantScratch::Unit;
  std::vector<std::string_view>& all_parts = scratch->parts;
  std::vector<Unit>& units = scratch->units;
  std::string& text = scratch->text;
  all_parts.clear();
  units.clear();
  scratch->bytes.clear();
  scratch->seen.Clear();
  // The units: each name, then those of its parts not seen before.
  std::string_view parts[kMaxNameParts];
  for (std::string_view name : names) {
    const size_t count = SplitName(name, parts);
    if (count == 0) continue;
    const auto first = static_cast<uint32_t>(all_parts.size());
    all_parts.insert(all_parts.end(), parts, parts + count);
    units.push_back(Unit{first, static_cast<uint32_t>(count), {}, {}});
    for (size_t p = 0; p < count && count > 1; ++p) {
      uint32_t lower = 0;
      for (char c : parts[p]) {
        lower = HashByte(lower, static_cast<unsigned char>(LowerByte(c)));
      }
      if (scratch->seen.Add(lower)) {
        units.push_back(Unit{first + static_cast<uint32_t>(p), 1, {}, {}});
      }
    }
  }
  auto unit_parts = [&](const Unit& unit) {
    return std::pair<const std::string_view*, size_t>(
        all_parts.data() + unit.first_part, unit.part_count);
  };
  for (Unit& unit : units) {
    for (int s = 0; s < kStyles; ++s) {
      text.clear();
      Join(unit_parts(unit), static_cast<Style>(s), true, &text);
      unit.start[s] = HashBytes(0, text);
      unit.following[s] = static_cast<uint32_t>(scratch->bytes.size());
      Join(unit_parts(unit), static_cast<Style>(s), false, &scratch->bytes);
    }
  }
  // A unit's bytes after another, in style s.
  auto following = [&](size_t u, int s) {
    const size_t end = s + 1 < kStyles        ? units[u].following[s + 1]
                       : u + 1 < units.size() ? units[u + 1].following[0]
                                              : scratch->bytes.size();
    return std::string_view(scratch->bytes)
        .substr(units[u].following[s], end - units[u].following[s]);
  };
  // Each name joined again.
  for (const Unit& unit : units) {
    for (int s = 0; s < kStyles; ++s) {
      try_hash(FinishHash(unit.start[s]), [&] {
        std::string name;
        Join(unit_parts(unit), static_cast<Style>(s), true, &name);
        return name;
      });
    }
  }
  // Numbered siblings, once for each stem and width.
  for (std::string_view name : names) {
    size_t width = 0;
    while (width < name.size() && name[name.size() - 1 - width] >= '0' &&
           name[name.size() - 1 - width] <= '9') {
      ++width;
    }
    if (width == 0 || width == name.size() || width > 8) continue;
    const std::string_view stem = name.substr(0, name.size() - width);
    // Marked apart from the parts' hashes by the width in the top bits.
    if (!scratch->seen.Add(FinishHash(HashBytes(0, stem)) ^
                           static_cast<uint32_t>(width) << 28)) {
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
      for (char c : following(b, s)) {
        for (size_t a = 0; a < paired; ++a) {
          states[a] = HashByte(states[a], static_cast<unsigned char>(c));
        }
      }
      for (size_t a = 0; a < paired; ++a) {
        if (a == b) continue;
        try_hash(FinishHash(states[a]), [&] {
          std::string name;
          Join(unit_parts(units[a]), static_cast<Style>(s), true, &name);
          return name + std::string(following(b, s));
        });
      }
    }
  }
  return tried;
}
