// The 32-bit one-at-a-time hash under which data files store member names.
#ifndef QUORVANTIDE_NAMES_NAME_HASH_H_
#define QUORVANTIDE_NAMES_NAME_HASH_H_

#include <cstdint>
#include <string_view>

// The hash of a member name, taken of its bytes as they are, each byte
// sign-extended as a signed char.
uint32_t NameHash(std::string_view name);

// The hash of an archive item: NameHash of the name with 'A'..'Z' lowered.
uint32_t ArchiveItemHash(std::string_view name);

#endif  // QUORVANTIDE_NAMES_NAME_HASH_H_
