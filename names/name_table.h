// A compact table from a 32-bit hash to a name; each name is stored once.
#ifndef QUORVANTIDE_NAMES_NAME_TABLE_H_
#define QUORVANTIDE_NAMES_NAME_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// Open addressing with linear probing over 8-byte slots of (hash, arena
// offset); the arena holds each name as a length byte and its bytes. A
// lookup touches one cache line of slots, and one of the arena when found.
struct NameSlot {
  uint32_t hash;
  uint32_t offset;  // kEmptySlot when the slot is free
};

constexpr uint32_t kEmptySlot = UINT32_MAX;
// Set in a slot's offset when its name could make a marker in the text it
// is put into (MayMakeMarker): a pass learns it from the slot it looked up,
// without reading the name. NameAt takes an offset with or without it.
constexpr uint32_t kMayMakeMarkerBit = uint32_t{1} << 31;
// The arena stays below the bit, so that no flagged offset is kEmptySlot.
constexpr size_t kMaxArenaSize = kMayMakeMarkerBit - 1;
constexpr size_t kMaxNameLength = 255;

// Gives the table's two big arrays their memory, and ends the run with a
// message where there is none.
template <typename T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <typename U>
  explicit LargeAllocator(const LargeAllocator<U>& /*other*/) {}
  T* allocate(size_t n) {
    void* memory = std::malloc(n * sizeof(T));
    if (memory == nullptr) {
      // Only the word lists are this large. They load beside the first data
      // file's look and repair, which replaces the file only with a whole
      // copy: stopping here loses no data.
      std::fputs("ERROR: Out of memory\n", stdout);
      std::abort();
    }
    return static_cast<T*>(memory);
  }
  void deallocate(T* memory, size_t /*n*/) { std::free(memory); }
  friend bool operator==(const LargeAllocator&, const LargeAllocator&) {
    return true;
  }
  friend bool operator!=(const LargeAllocator&, const LargeAllocator&) {
    return false;
  }
};

struct NameTable {
  // Size zero or a power of two.
  std::vector<NameSlot, LargeAllocator<NameSlot>> slots;
  std::basic_string<char, std::char_traits<char>, LargeAllocator<char>> arena;
  size_t count = 0;
  int shift = 32;  // 32 - log2(slots.size())
};

// Stores `name` in the arena without making it findable, and returns its
// offset; kEmptySlot if it is longer than kMaxNameLength or the arena would
// pass kMaxArenaSize.
uint32_t AppendName(NameTable* table, std::string_view name);

// Makes room for `count` names in all, so that placing them never rehashes.
void ReserveSlots(NameTable* table, size_t count);

// Makes the name at arena `offset` findable under `hash`, unless the hash is
// already present: the first name placed for a hash stays. Returns whether
// it was placed. The slot's offset gets kMayMakeMarkerBit as the name asks.
bool PlaceName(NameTable* table, uint32_t hash, uint32_t offset);

// AppendName and PlaceName in one, storing nothing if the hash is present.
bool InsertName(NameTable* table, uint32_t hash, std::string_view name);

// The slot where a lookup of `hash` starts.
inline size_t HomeSlot(const NameTable& table, uint32_t hash) {
  // Fibonacci hashing spreads hashes that share their low bits.
  return static_cast<uint32_t>(hash * 0x9E3779B1u) >> table.shift;
}

// The slot that holds `hash`, or null.
inline const NameSlot* FindSlot(const NameTable& table, uint32_t hash) {
  if (table.slots.empty()) return nullptr;
  size_t mask = table.slots.size() - 1;
  for (size_t i = HomeSlot(table, hash);; i = (i + 1) & mask) {
    const NameSlot& slot = table.slots[i];
    if (slot.offset == kEmptySlot) return nullptr;
    if (slot.hash == hash) return &slot;
  }
}

inline std::string_view NameAt(const NameTable& table, uint32_t offset) {
  const char* entry = table.arena.data() + (offset & ~kMayMakeMarkerBit);
  return std::string_view(entry + 1, static_cast<unsigned char>(*entry));
}

// Sets *name to the name stored under `hash`. Returns false if there is none.
inline bool FindName(const NameTable& table, uint32_t hash,
                     std::string_view* name) {
  const NameSlot* slot = FindSlot(table, hash);
  if (slot == nullptr) return false;
  *name = NameAt(table, slot->offset);
  return true;
}

// Hints that `hash` will be looked up soon: its home slot is fetched into
// the cache, so that many lookups' memory waits overlap.
inline void PrefetchSlot(const NameTable& table, uint32_t hash) {
#ifdef __GNUC__
  if (!table.slots.empty()) {
    __builtin_prefetch(&table.slots[HomeSlot(table, hash)]);
  }
#else
  (void)table;
  (void)hash;
#endif
}

// Hints that the name at arena `offset` will be read soon.
inline void PrefetchArena(const NameTable& table, uint32_t offset) {
#ifdef __GNUC__
  __builtin_prefetch(table.arena.data() + (offset & ~kMayMakeMarkerBit));
#else
  (void)table;
  (void)offset;
#endif
}

// The slot's offset of the name under `hash`, kMayMakeMarkerBit included,
// or kEmptySlot; a name found starts coming into the cache, to be read soon.
inline uint32_t FindAndFetchName(const NameTable& table, uint32_t hash) {
  const NameSlot* slot = FindSlot(table, hash);
  if (slot == nullptr) return kEmptySlot;
  PrefetchArena(table, slot->offset);
  return slot->offset;
}

#endif  // QUORVANTIDE_NAMES_NAME_TABLE_H_
