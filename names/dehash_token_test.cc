#include "names/dehash_token.h"

#include <gtest/gtest.h>

#include <string>

#include "names/name_hash.h"

namespace {

TEST(ParseHexTextTest, ReadsAsPercentXDoes) {
  static const struct {
    std::string text;
    bool fits;
    uint32_t value;
    size_t consumed;
  } kCases[] = {
      {"ED131F5B", true, 0xED131F5B, 8},
      {"ed131f5b\"", true, 0xED131F5B, 8},
      {"5", true, 5, 1},
      {"0000000000ED131F5B", true, 0xED131F5B, 18},  // leading zeros are free
      {"1ED131F5B", false, 0, 0},                    // needs 33 bits
      {"FFFFFFFFFFFFFFFF", false, 0, 0},
      {" \t\r5z", true, 5, 4},
      {"+A", true, 10, 2},
      {"-1", true, 0xFFFFFFFF, 2},
      {"0x1F", true, 0x1F, 4},
      {"0X1f", true, 0x1F, 4},
      {"0xg", true, 0, 1},  // the "0" is the digit, "xg" is left
      {"", true, 0, 0},
      {"zz", true, 0, 0},
      {"-", true, 0, 0},
  };
  for (const auto& c : kCases) {
    uint32_t value = 99;
    size_t consumed = 99;
    EXPECT_EQ(c.fits, ParseHexText(c.text, &value, &consumed)) << c.text;
    if (!c.fits) continue;
    EXPECT_EQ(c.value, value) << c.text;
    EXPECT_EQ(c.consumed, consumed) << c.text;
  }
}

// What the token becomes in the output.
std::string Rewrite(const NameTable& names, const std::string& token) {
  TokenMatch match = DehashToken(names, token);
  if (!match.resolved) return token;
  return std::string(match.name) + token.substr(match.hash_length);
}

TEST(DehashTokenTest, ReplacesOnlyTheHashOfAKnownToken) {
  NameTable names;
  InsertName(&names, NameHash("abc"), "abc");
  InsertName(&names, 0x0F, "fifteen");
  InsertName(&names, 0, "zero");
  static const struct {
    std::string token;
    std::string expected;
  } kCases[] = {
      {"UNK_MEMBER_0xED131F5B", "abc"},
      {"UNK_MEMBER_0xed131f5b", "abc"},
      {"UNK_MEMBER_0x12345678", "UNK_MEMBER_0x12345678"},
      {"0xED131F5B", "abc"},
      {"0x12345678", "0x12345678"},
      // What follows the digits is kept: a quote, the "<" of a closing tag.
      {"UNK_MEMBER_0xED131F5B\"", "abc\""},
      {"0xED131F5B</a", "abc</a"},
      {"UNK_MEMBER_0x0000000F", "fifteen"},
      {"0xF", "fifteen"},
      // Too short to hold a hash, or not a token at all: kept as it is.
      {"0x", "0x"},
      {"UNK_MEMBER_0x", "UNK_MEMBER_0x"},
      {"UNK_MEMBER_0xED", "UNK_MEMBER_0xED"},
      {"unk_member_0xED131F5B", "unk_member_0xED131F5B"},
      {"0XED131F5B", "0XED131F5B"},
      // No digit reads as hash 0, which here has a name: only the prefix
      // goes.
      {"UNK_MEMBER_0xZZZ", "zeroZZZ"},
      {"0x00000000", "zero"},
      // A 64-bit value is not a hash, even if its low half is known.
      {"0x00000001ED131F5B", "0x00000001ED131F5B"},
      {"UNK_MEMBER_0x-1", "UNK_MEMBER_0x-1"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.expected, Rewrite(names, c.token)) << c.token;
  }
}

}  // namespace
