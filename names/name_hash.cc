#include "names/name_hash.h"

uint32_t ArchiveItemHash(std::string_view name) {
  uint32_t hash = 0;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z') byte += 'a' - 'A';
    hash = HashByte(hash, byte);
  }
  return FinishHash(hash);
}
