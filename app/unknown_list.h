// The list of the hashes that a complete run left unnamed.
#ifndef QUORVANTIDE_APP_UNKNOWN_LIST_H_
#define QUORVANTIDE_APP_UNKNOWN_LIST_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "passes/pass_mode.h"

// The hashes left unnamed, the most frequent first, then by hash.
std::vector<std::pair<uint32_t, UnknownHashes::Seen>> MostFrequentFirst(
    const UnknownHashes& unknown);

// Writes to `path` one line for each hash left unnamed,
// "0x%08X<TAB>count<TAB>first file", the most frequent first, then by hash.
// The list is written beside its path and put in its place only when
// complete, so no partial list ever stands under its name; failures are
// reported.
void WriteUnknownList(const std::string& path, const UnknownHashes& unknown);

#endif  // QUORVANTIDE_APP_UNKNOWN_LIST_H_
