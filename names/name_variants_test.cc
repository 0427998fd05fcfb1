#include "names/name_variants.h"

#include <gtest/gtest.h>

#include <set>

#include "names/name_hash.h"
#include "names/name_hunt.h"

namespace {

// The names that TryVariants finds among `wanted`.
std::set<std::string> Found(const std::vector<std::string_view>& names,
                            const std::vector<std::string>& wanted,
                            bool pairs) {
  std::vector<uint32_t> hashes;
  for (const std::string& name : wanted) hashes.push_back(NameHash(name));
  HashTargets targets;
  MakeHashTargets(hashes, &targets);
  std::vector<VariantMatch> matches;
  EXPECT_GT(TryVariants(names, targets, pairs, &matches), 0u);
  std::set<std::string> found;
  for (const VariantMatch& match : matches) {
    EXPECT_EQ(NameHash(match.name), match.hash) << match.name;
    found.insert(match.name);
  }
  return found;
}

TEST(NameVariantsTest, FindsEachKindOfVariant) {
  const std::vector<std::string> wanted = {
      "lod_distance",   "LodDistance",  "loddistance",    // joined again
      "crate_wood_17",  "crate_wood_7", "crate_wood_00",  // numbered
      "lodDistanceFar", "far_clip_lod", "ClipLod",        // pairs
      "AlphaBlend",     "alphaBlend",   "ZoomLevel",      // a..., z...
      "crate_wood_100", "lodfar_clip"};                   // none of them
  const std::set<std::string> expected = {
      "lod_distance", "LodDistance",   "loddistance",    "crate_wood_17",
      "crate_wood_7", "crate_wood_00", "lodDistanceFar", "far_clip_lod",
      "ClipLod",      "AlphaBlend",    "alphaBlend",     "ZoomLevel"};
  EXPECT_EQ(expected, Found({"lodDistance", "farClip", "crate_wood_03",
                             "alpha_blend", "zoom_level"},
                            wanted, true));
  std::set<std::string> unpaired = expected;
  for (const char* pair : {"lodDistanceFar", "far_clip_lod", "ClipLod"}) {
    unpaired.erase(pair);
  }
  EXPECT_EQ(unpaired, Found({"lodDistance", "farClip", "crate_wood_03",
                             "alpha_blend", "zoom_level"},
                            wanted, false));
}

TEST(NameHuntTest, KeepsTheSurestFindAndMatchesBothHashes) {
  NameHunt hunt;
  OfferFind(&hunt, 1, HuntFind{"variant", false, HuntSource::kVariant});
  OfferFind(&hunt, 1, HuntFind{"data", false, HuntSource::kData});
  OfferFind(&hunt, 1, HuntFind{"words", false, HuntSource::kWords});
  OfferFind(&hunt, 1, HuntFind{"data2", false, HuntSource::kData});
  EXPECT_EQ("data", hunt.finds[1].name);

  InsertName(&hunt.data_words, NameHash("Prop_Crate"), "Prop_Crate");
  InsertName(&hunt.other_words, NameHash("Prop_Crate"), "Prop_Crate");
  InsertName(&hunt.other_words, NameHash("spawnDelay"), "spawnDelay");
  HashTargets unknown;
  MakeHashTargets({ArchiveItemHash("Prop_Crate"), NameHash("spawnDelay"), 7},
                  &unknown);
  // About 64 bits of map a hash: one is made for every file.
  EXPECT_LE(unknown.bits.size(), 4u);
  MatchWords(&hunt, unknown);
  const HuntFind& item = hunt.finds[ArchiveItemHash("Prop_Crate")];
  EXPECT_EQ("Prop_Crate", item.name);
  EXPECT_TRUE(item.archive);
  EXPECT_EQ(HuntSource::kData, item.source);
  EXPECT_EQ(HuntSource::kWords, hunt.finds[NameHash("spawnDelay")].source);
  EXPECT_EQ(0u, hunt.finds.count(7));
  // Two hashes for the data word, two for the other: three candidates,
  // each tried against the three unknown hashes.
  EXPECT_EQ(4.0 * 3, hunt.tried);
}

}  // namespace
