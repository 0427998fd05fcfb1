#include "names/dehash_token.h"

#include <gtest/gtest.h>

#include <string>

#include "names/name_hash.h"

namespace {

TEST(DehashTokenTest, ReplacesOnlyTheHashOfAKnownToken) {
  NameTable names;
  InsertName(&names, NameHash("abc"), "abc");      // 0xED131F5B
  InsertName(&names, NameHash("name1"), "name1");  // 0xED281602
  InsertName(&names, 0x0F, "fifteen");
  InsertName(&names, 0xFFFFFFFF, "minus one");
  static const struct {
    std::string token;
    std::string expected;  // what the token becomes in the output
  } kCases[] = {
      {"UNK_MEMBER_0xed131f5b", "abc"},
      {"UNK_MEMBER_0xED281602", "name1"},
      // What follows the digits is kept: the "<" of a closing tag, a byte
      // that is no digit.
      {"0xED281602</a", "name1</a"},
      {"0xED131F5B\xff", "abc\xff"},
      // The hex text is read as "%x" reads it: white space, a sign, "0x",
      // and leading zeros that do not count towards the 32 bits.
      {"UNK_MEMBER_0x \t\r+0XeD131F5Bz", "abcz"},
      {"UNK_MEMBER_0x-01", "minus one"},
      {"0x00000000000F", "fifteen"},
      {"0xF", "fifteen"},
      {"zzF", "fifteen"},     // a 3-byte token: any two bytes, then the digit
      {"0x0xg", "0x0xg"},     // the "0" is the digit: hash 0 has no name
      {"0x0x0F", "fifteen"},  // a second "0x" before a digit, even a "0"
      {"0x0000ED131F5B<", "abc<"},
      // At most 32 bits, even where the bits kept would name a hash.
      {"0x1ED131F5B", "0x1ED131F5B"},
      {"UNK_MEMBER_0x -0x100000001", "UNK_MEMBER_0x -0x100000001"},
      {"0x-<", "0x-<"},
      // Too short to hold a hash: kept as it is.
      {"0x", "0x"},
      {"UNK_MEMBER_0x0F", "UNK_MEMBER_0x0F"},
      {"zz0F", "zz0F"},  // four bytes or more need the "0x" of a value
  };
  for (const auto& c : kCases) {
    TokenMatch match = DehashToken(names, c.token);
    std::string rewritten =
        match.resolved
            ? std::string(match.name) + c.token.substr(match.hash_length)
            : c.token;
    EXPECT_EQ(c.expected, rewritten) << c.token;
  }
}

TEST(DehashTokenTest, HexTextIsReadWithinItsView) {
  // Seven digits of a longer text: the eighth byte is no part of it.
  uint32_t value;
  size_t consumed;
  ASSERT_TRUE(ParseHexText(std::string_view("1234abcd").substr(0, 7), &value,
                           &consumed));
  EXPECT_EQ(0x1234abcu, value);
  EXPECT_EQ(7u, consumed);
}

TEST(DehashTokenTest, EightDigitsReadAtOnceAsParseTokenReadsThem) {
  static const struct {
    std::string text;
    size_t start, digits;
    bool read;  // at once; otherwise left to ParseToken
  } kCases[] = {
      {"UNK_MEMBER_0x0000000F>", 0, 13, true},
      {"<0x1234abcd</", 1, 3, true},
      {"0x1234abcd5", 0, 2, false},  // a ninth digit
      {"0x1234abcd", 0, 2, false},   // nothing after the digits to tell
      {"0x1234abc-z", 0, 2, false},  // a seventh digit is the last
      {"0x0-234abcz", 0, 2, false},
  };
  for (const auto& c : kCases) {
    TokenHash parsed;
    ASSERT_EQ(c.read, ParseEightDigitToken(c.text, c.start, c.digits, &parsed))
        << c.text;
    if (!c.read) continue;
    const TokenHash expected =
        ParseToken(std::string_view(c.text).substr(c.start));
    EXPECT_TRUE(parsed.looked_up && parsed.has_hash) << c.text;
    EXPECT_EQ(expected.hash, parsed.hash) << c.text;
    EXPECT_EQ(expected.hash_length, parsed.hash_length) << c.text;
  }
}

TEST(DehashTokenTest, EightDigitsAreReadByteForByteAsOneDigitIs) {
  // Every byte at every place among digits of both cases, so that no byte
  // near a digit's range reads as one, and no place reads another's value.
  for (uint32_t at = 0; at < 8; ++at) {
    for (int byte = 0; byte < 256; ++byte) {
      std::string text = "a1B2c3D4";
      text[at] = static_cast<char>(byte);
      const int digit = HexDigitValue(text[at]);
      const uint32_t shift = 4 * (7 - at);
      uint32_t value = 0x5A5A5A5A;
      ASSERT_EQ(digit >= 0, ReadEightHexDigits(text.data(), &value)) << byte;
      EXPECT_EQ(digit < 0 ? 0x5A5A5A5Au
                          : (0xA1B2C3D4u & ~(0xFu << shift)) |
                                static_cast<uint32_t>(digit) << shift,
                value)
          << at << " " << byte;
    }
  }
}

}  // namespace
