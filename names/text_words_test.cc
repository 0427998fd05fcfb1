#include "names/text_words.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Words and tokens in the order they come, each ended by "|".
class Recorder : public WordVisitor {
 public:
  void Word(std::string_view word) override { seen += std::string(word) + "|"; }
  void Token(std::string_view token) override {
    seen += "#" + std::string(token) + "|";
  }
  std::string seen;
};

TEST(TextWordsTest, FindsWordsAndTokens) {
  static const struct {
    std::string text;
    std::string expected;
  } kCases[] = {
      {"<UNK_MEMBER_0x9CA0FEA6>door_01</UNK_MEMBER_0x9CA0FEA6>",
       "#UNK_MEMBER_0x9CA0FEA6|door_01|door|#UNK_MEMBER_0x9CA0FEA6|"},
      {"<a n=\"Prop_Crate\" p=\"1.5 0x1F\">0x12aB</a>",
       "a|n|Prop_Crate|Prop|Crate|p|#0x12aB|a|"},
      // "0x" after anything but '>' is no token; a hex number no word.
      {"= 0x1F2 x0x1", "x0x1|"},
      {"<!-- lodDistanceFar: -far- -->",
       "lodDistanceFar:|lodDistanceFar|"
       "-far-|far|"},
      {"aUNK_MEMBER_0x1Fz", "a|#UNK_MEMBER_0x1F|z|"},
      {std::string(256, 'w') + " " + std::string(255, 'v'),
       std::string(255, 'v') + "|"},
  };
  for (const auto& c : kCases) {
    Recorder recorder;
    VisitWords(c.text, '\0', &recorder);
    EXPECT_EQ(c.expected, recorder.seen) << c.text;
  }
  Recorder after_tag;
  // The view starts after a '>', and ends where its bytes do, whatever
  // follows them.
  VisitWords(std::string_view("0x1Fab", 4), '>', &after_tag);
  EXPECT_EQ("#0x1F|", after_tag.seen);
  Recorder cut;
  VisitWords(std::string_view("ab cd", 4), '\0', &cut);
  EXPECT_EQ("ab|c|", cut.seen);
}

TEST(TextWordsTest, SplitsNamesIntoParts) {
  static const struct {
    std::string name;
    std::string expected;
  } kCases[] = {
      {"lodDistanceFar", "lod|Distance|Far|"},
      {"crate_wood_03", "crate|wood|03|"},
      {"HTTPServer2x", "HTTP|Server|2|x|"},
      {"v09z", "v|09|z|"},
      {"__a--B__", "a|B|"},
      {"ABC", "ABC|"},
      {"", ""},
      {"a_b_c_d_e_f_g_h_i_j_k_l_m_n_o_p_q_r",
       "a|b|c|d|e|f|g|h|i|j|k|l|m|n|o|"
       "p_q_r|"},
  };
  for (const auto& c : kCases) {
    std::string_view parts[kMaxNameParts];
    std::string got;
    for (size_t i = 0, n = SplitName(c.name, parts); i < n; ++i) {
      got += std::string(parts[i]) + "|";
    }
    EXPECT_EQ(c.expected, got) << c.name;
  }
}

}  // namespace
