// A compact table from a 32-bit hash to a name; each name is stored once.
#ifndef QUORVANTIDE_NAMES_NAME_TABLE_H_
#define QUORVANTIDE_NAMES_NAME_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Open addressing with linear probing over slots of (hash, arena offset);
// the arena holds each name as a length byte followed by its bytes. Lookups
// touch one or two cache lines of slots and one of the arena.
struct NameSlot {
  uint32_t hash;
  uint32_t offset;  // kEmptySlot when the slot is free
};

constexpr uint32_t kEmptySlot = UINT32_MAX;
constexpr size_t kMaxNameLength = 255;

struct NameTable {
  std::vector<NameSlot> slots;  // size is zero or a power of two
  std::string arena;
  size_t count = 0;
  int shift = 32;  // 32 - log2(slots.size())
};

// Inserts `name` under `hash` unless the hash is already present: the first
// name stored for a hash stays. Returns false if nothing was inserted, also
// when the name is longer than kMaxNameLength or the arena is full.
bool InsertName(NameTable* table, uint32_t hash, std::string_view name);

// The slot where a lookup of `hash` starts.
inline size_t HomeSlot(const NameTable& table, uint32_t hash) {
  // Fibonacci hashing spreads hashes that share their low bits.
  return static_cast<uint32_t>(hash * 0x9E3779B1u) >> table.shift;
}

// Sets *name to the name stored under `hash`. Returns false if there is none.
inline bool FindName(const NameTable& table, uint32_t hash,
                     std::string_view* name) {
  if (table.count == 0) return false;
  size_t mask = table.slots.size() - 1;
  for (size_t i = HomeSlot(table, hash);; i = (i + 1) & mask) {
    const NameSlot& slot = table.slots[i];
    if (slot.offset == kEmptySlot) return false;
    if (slot.hash == hash) {
      const char* entry = table.arena.data() + slot.offset;
      *name = std::string_view(entry + 1, static_cast<unsigned char>(*entry));
      return true;
    }
  }
}

#endif  // QUORVANTIDE_NAMES_NAME_TABLE_H_
