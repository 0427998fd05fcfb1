#include "names/name_hunt.h"

#include <utility>

#include "names/name_hash.h"

namespace {

// Tries each word of `words` against `unknown`, but for those that `tried`
// (when given) holds already.
void MatchTable(NameHunt* hunt, const NameTable& words, const NameTable* tried,
                HuntSource source, const HashTargets& unknown) {
  uint64_t candidates = 0;
  for (size_t at = 0; at < words.arena.size();
       at += 1 + static_cast<unsigned char>(words.arena[at])) {
    const std::string_view word = NameAt(words, static_cast<uint32_t>(at));
    const uint32_t member = NameHash(word);
    if (tried != nullptr && FindSlot(*tried, member) != nullptr) continue;
    const uint32_t archive = ArchiveItemHash(word);
    candidates += archive == member ? 1 : 2;
    if (HoldsHash(unknown, member)) {
      OfferFind(hunt, member, HuntFind{std::string(word), false, source});
    }
    if (archive != member && HoldsHash(unknown, archive)) {
      OfferFind(hunt, archive, HuntFind{std::string(word), true, source});
    }
  }
  hunt->tried += static_cast<double>(candidates) *
                 static_cast<double>(unknown.sorted.size());
}

}  // namespace

void OfferFind(NameHunt* hunt, uint32_t hash, HuntFind find) {
  auto [kept, added] = hunt->finds.try_emplace(hash, find);
  if (!added && find.source < kept->second.source) {
    kept->second = std::move(find);
  }
}

void MatchWords(NameHunt* hunt, const HashTargets& unknown) {
  MatchTable(hunt, hunt->data_words, nullptr, HuntSource::kData, unknown);
  MatchTable(hunt, hunt->other_words, &hunt->data_words, HuntSource::kWords,
             unknown);
}
