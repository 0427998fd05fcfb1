// The 32-bit one-at-a-time hash under which data files store member names.
#ifndef QUORVANTIDE_NAMES_NAME_HASH_H_
#define QUORVANTIDE_NAMES_NAME_HASH_H_

#include <cstdint>
#include <string_view>

// The hash taken a byte at a time: names that share a start share its work,
// so the state after one part of a name can go on with each of many others.
// NameHash(name) is FinishHash of the state after every byte of the name,
// starting from 0.
inline uint32_t HashByte(uint32_t state, unsigned char byte) {
  // Bytes 0x80..0xFF count as negative numbers: the hash was defined over
  // signed chars, and stored files depend on that.
  state +=
      static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(byte)));
  state += state << 10;
  state ^= state >> 6;
  return state;
}

inline uint32_t HashBytes(uint32_t state, std::string_view bytes) {
  for (char c : bytes) state = HashByte(state, static_cast<unsigned char>(c));
  return state;
}

inline uint32_t FinishHash(uint32_t state) {
  state += state << 3;
  state ^= state >> 11;
  state += state << 15;
  return state;
}

// The hash of a member name, taken of its bytes as they are, each byte
// sign-extended as a signed char.
inline uint32_t NameHash(std::string_view name) {
  return FinishHash(HashBytes(0, name));
}

// The hash of an archive item: NameHash of the name with 'A'..'Z' lowered.
uint32_t ArchiveItemHash(std::string_view name);

#endif  // QUORVANTIDE_NAMES_NAME_HASH_H_
