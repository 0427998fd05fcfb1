#include "names/name_hash.h"

namespace {

// Bytes 0x80..0xFF count as negative numbers: the hash was defined over
// signed chars, and stored files depend on that.
inline uint32_t AddByte(uint32_t hash, unsigned char byte) {
  hash +=
      static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(byte)));
  hash += hash << 10;
  hash ^= hash >> 6;
  return hash;
}

inline uint32_t Finish(uint32_t hash) {
  hash += hash << 3;
  hash ^= hash >> 11;
  hash += hash << 15;
  return hash;
}

}  // namespace

uint32_t NameHash(std::string_view name) {
  uint32_t hash = 0;
  for (char c : name) hash = AddByte(hash, static_cast<unsigned char>(c));
  return Finish(hash);
}

uint32_t ArchiveItemHash(std::string_view name) {
  uint32_t hash = 0;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z') byte += 'a' - 'A';
    hash = AddByte(hash, byte);
  }
  return Finish(hash);
}
