#include "names/name_variants.h"

#include <gtest/gtest.h>

#include <set>

#include "names/name_hash.h"

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
  VariantScratch scratch;
  EXPECT_GT(TryVariants(names, targets, pairs, &matches, &scratch), 0u);
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

}  // namespace
