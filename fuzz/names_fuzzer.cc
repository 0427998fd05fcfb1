// The word-list loader and DehashToken on arbitrary bytes: every loaded name
// is found again under its hash unless an earlier name holds that hash, and
// a resolved token gives up only its hash text.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "fuzz/fuzz_support.h"
#include "names/dehash_token.h"
#include "names/hash_name_map.h"
#include "names/name_hash.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The loader warns on the console that there is no archive list.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  NameTable table;
  FILE* list = OpenBytes(input);
  LoadHashNameMap(list, &table);
  std::fclose(list);
  std::unordered_map<uint32_t, std::string> first;
  for (std::string name : ChunksOf(input, input.size() + 1)) {
    if (name.back() == '\n') name.pop_back();
    if (name.empty()) continue;
    first.emplace(NameHash(name), name);
  }
  FUZZ_CHECK(table.count == first.size());
  for (const auto& [hash, name] : first) {
    std::string_view found;
    FUZZ_CHECK(FindName(table, hash, &found) && found == name);
  }

  // Each line of the input, as a token.
  for (const auto& [hash, token] : first) {
    (void)hash;
    TokenMatch match = DehashToken(table, token);
    if (!match.resolved) continue;
    // Only a member token of 16 bytes or more has the long prefix; any other
    // token has two bytes before its hex text ("0x", but for a 3-byte token
    // any two).
    const bool member =
        token.size() >= 16 && token.compare(0, 13, "UNK_MEMBER_0x") == 0;
    FUZZ_CHECK(member || token.compare(0, 2, "0x") == 0 || token.size() == 3);
    FUZZ_CHECK(match.hash_length >= (member ? 13u : 2u) &&
               match.hash_length <= token.size());
    uint32_t value;
    size_t consumed;
    FUZZ_CHECK(ParseHexText(token.substr(member ? 13 : 2), &value, &consumed));
    std::string_view name;
    FUZZ_CHECK(FindName(table, value, &name) && name == match.name);
  }
  return 0;
}
