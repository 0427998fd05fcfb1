#include "names/name_table.h"

#include "names/token_grammar.h"

namespace {

constexpr int kMinBits = 10;

// Keeps the load at or under 3/4, where linear probing stays short.
int BitsFor(size_t count) {
  int bits = kMinBits;
  while ((size_t{1} << bits) * 3 < count * 4) ++bits;
  return bits;
}

void Resize(NameTable* table, int bits) {
  std::vector<NameSlot, LargeAllocator<NameSlot>> old;
  old.swap(table->slots);
  table->slots.assign(size_t{1} << bits, NameSlot{0, kEmptySlot});
  table->shift = 32 - bits;
  size_t mask = table->slots.size() - 1;
  for (const NameSlot& slot : old) {
    if (slot.offset == kEmptySlot) continue;
    size_t i = HomeSlot(*table, slot.hash);
    while (table->slots[i].offset != kEmptySlot) i = (i + 1) & mask;
    table->slots[i] = slot;
  }
}

}  // namespace

uint32_t AppendName(NameTable* table, std::string_view name) {
  if (name.size() > kMaxNameLength ||
      table->arena.size() + 1 + name.size() > kMaxArenaSize) {
    return kEmptySlot;
  }
  auto offset = static_cast<uint32_t>(table->arena.size());
  table->arena.push_back(static_cast<char>(name.size()));
  table->arena.append(name.data(), name.size());
  return offset;
}

void ReserveSlots(NameTable* table, size_t count) {
  int bits = BitsFor(count);
  if (table->slots.size() < (size_t{1} << bits)) Resize(table, bits);
}

bool PlaceName(NameTable* table, uint32_t hash, uint32_t offset) {
  if (table->slots.empty() ||
      (table->count + 1) * 4 > table->slots.size() * 3) {
    // Doubling keeps the cost of growth linear.
    Resize(table, BitsFor(2 * (table->count + 1)));
  }
  size_t mask = table->slots.size() - 1;
  size_t i = HomeSlot(*table, hash);
  for (; table->slots[i].offset != kEmptySlot; i = (i + 1) & mask) {
    if (table->slots[i].hash == hash) return false;
  }
  const bool flag = MayMakeMarker(NameAt(*table, offset));
  table->slots[i] = NameSlot{hash, flag ? offset | kMayMakeMarkerBit : offset};
  ++table->count;
  return true;
}

bool InsertName(NameTable* table, uint32_t hash, std::string_view name) {
  if (FindSlot(*table, hash) != nullptr) return false;
  uint32_t offset = AppendName(table, name);
  return offset != kEmptySlot && PlaceName(table, hash, offset);
}
