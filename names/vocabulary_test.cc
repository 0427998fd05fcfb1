#include "names/vocabulary.h"

#include <gtest/gtest.h>

#include <string>

#include "names/name_hash.h"
#include "names/name_hunt.h"

namespace {

TEST(VocabularyTest, CountsPartsEndsAndJoints) {
  Vocabulary vocabulary;
  // Ten names of two parts or more with a joint; four of them join theirs
  // in a way that exactly a tenth of the names use.
  for (const char* name :
       {"file", "readManifest", "ReadFile", "read_only", "LOD_DIST",
        "lod2Distance", "x-ray", "HTTPServer", "aB", "cD", "eF", "gH", "iJ"}) {
    CountParts(name, &vocabulary);
  }
  auto part = [&](const std::string& text) {
    for (const VocabularyPart& p : vocabulary.parts) {
      if (p.text == text)
        return std::to_string(p.count) + "/" + std::to_string(p.starts) + "/" +
               std::to_string(p.ends);
    }
    return std::string("none");
  };
  // count/starts/ends; a number alone is no part. "file", the first part
  // counted, both begins and ends a name.
  EXPECT_EQ("3/3/0", part("read"));
  EXPECT_EQ("2/1/2", part("file"));
  EXPECT_EQ("2/2/0", part("lod"));
  EXPECT_EQ("1/0/1", part("distance"));
  EXPECT_EQ("none", part("2"));
  static const struct {
    Joint joint;
    uint64_t names;
  } kJoints[] = {
      {{PartCase::kCamel, '\0'}, 6},   // readManifest...; not lod2Distance
      {{PartCase::kPascal, '\0'}, 1},  // ReadFile; not HTTPServer
      {{PartCase::kLower, '_'}, 1},   {{PartCase::kUpper, '_'}, 1},
      {{PartCase::kLower, '-'}, 1},   {{PartCase::kPascal, '_'}, 0},
  };
  for (const auto& c : kJoints) {
    EXPECT_EQ(c.names, vocabulary.joints[JointIndex(c.joint)])
        << static_cast<int>(c.joint.letters) << c.joint.separator;
  }
  // The four joints, then those that a tenth of the names use.
  std::string joints;
  for (const Joint& joint : PairJoints(vocabulary)) {
    AppendPart("ab", joint, true, &joints);
    AppendPart("cd", joint, false, &joints);
    joints += ' ';
  }
  EXPECT_EQ("abCd AbCd ab_cd abcd ab-cd AB_CD ", joints);
  // Past sixteen parts, the rest of a name is its last part.
  Vocabulary long_name;
  CountParts("k_l_m_n_o_p_q_r_s_t_u_v_w_x_y_z.end", &long_name);
  ASSERT_EQ(16u, long_name.parts.size());
  EXPECT_EQ("z.end", long_name.parts.back().text);
  EXPECT_EQ(1u, long_name.parts.back().ends);
}

TEST(VocabularyTest, PairsTakeTheLargestProductsOfCountsFirst) {
  // "alpha" begins 3 names and "beta" 2; "xray" ends 4 and "yank" 1: the
  // products are 12 (alpha+xray), 8 (beta+xray), 3 and 2. With two pairs
  // allowed, those are the first two, and alphaYank is never tried.
  NameHunt hunt;
  for (const char* name :
       {"alphaXray", "alphaXray", "alphaYank", "betaXray", "betaXray"}) {
    CountParts(name, &hunt.vocabulary);
  }
  HashTargets targets;
  MakeHashTargets({NameHash("betaXray"), NameHash("alphaYank")}, &targets);
  MatchVocabularyPairs(&hunt, targets, 2);
  ASSERT_EQ(1u, hunt.finds.size());
  EXPECT_EQ("betaXray", hunt.finds.begin()->second.name);
  EXPECT_EQ(HuntSource::kVocabulary, hunt.finds.begin()->second.source);
  EXPECT_FALSE(hunt.exhausted);  // the cap, not the budget, ended it
  // One pair allowed: the first.
  NameHunt one;
  one.vocabulary = hunt.vocabulary;
  MakeHashTargets({NameHash("alphaXray")}, &targets);
  MatchVocabularyPairs(&one, targets, 1);
  ASSERT_EQ(1u, one.finds.size());
  EXPECT_EQ("alphaXray", one.finds.begin()->second.name);
}

}  // namespace
