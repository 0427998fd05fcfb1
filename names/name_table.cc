#include "names/name_table.h"

namespace {

constexpr int kInitialBits = 10;

void Rehash(NameTable* table, int bits) {
  std::vector<NameSlot> old;
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

bool InsertName(NameTable* table, uint32_t hash, std::string_view name) {
  if (name.size() > kMaxNameLength) return false;
  if (table->arena.size() + 1 + name.size() >= kEmptySlot) return false;
  // Keep the load at or under 3/4, where linear probing stays short.
  if (table->slots.empty()) {
    Rehash(table, kInitialBits);
  } else if ((table->count + 1) * 4 > table->slots.size() * 3) {
    Rehash(table, 33 - table->shift);
  }
  size_t mask = table->slots.size() - 1;
  size_t i = HomeSlot(*table, hash);
  for (; table->slots[i].offset != kEmptySlot; i = (i + 1) & mask) {
    if (table->slots[i].hash == hash) return false;
  }
  table->slots[i] = NameSlot{hash, static_cast<uint32_t>(table->arena.size())};
  table->arena.push_back(static_cast<char>(name.size()));
  table->arena.append(name.data(), name.size());
  ++table->count;
  return true;
}
