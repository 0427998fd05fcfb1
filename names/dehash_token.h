// Resolves one hashed token cut out of a data file into the name it stands for.
#ifndef QUORVANTIDE_NAMES_DEHASH_TOKEN_H_
#define QUORVANTIDE_NAMES_DEHASH_TOKEN_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "names/name_table.h"

struct HexDigitTable {
  int8_t value[256];
};

constexpr HexDigitTable MakeHexDigitTable() {
  HexDigitTable table{};
  for (int c = 0; c < 256; ++c) {
    table.value[c] = c >= '0' && c <= '9'   ? static_cast<int8_t>(c - '0')
                     : c >= 'a' && c <= 'f' ? static_cast<int8_t>(c - 'a' + 10)
                     : c >= 'A' && c <= 'F' ? static_cast<int8_t>(c - 'A' + 10)
                                            : int8_t{-1};
  }
  return table;
}

inline constexpr HexDigitTable kHexDigits = MakeHexDigitTable();

// The value of a hexadecimal digit of either case, or -1 for any other byte.
inline int HexDigitValue(char c) {
  return kHexDigits.value[static_cast<unsigned char>(c)];
}

// Reads the eight hexadecimal digits at `digits` into *value. Returns false,
// leaving *value alone, when one of the eight bytes is no digit.
inline bool ReadEightHexDigits(const char* digits, uint32_t* value) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ || \
    defined(_MSC_VER)
  // All eight bytes at once, each in a byte of its own of one word, the
  // first in the lowest: no carry crosses from a byte to the next.
  constexpr uint64_t kEach = 0x0101010101010101;
  constexpr uint64_t kHigh = 0x80 * kEach;
  uint64_t bytes;
  std::memcpy(&bytes, digits, 8);
  if ((bytes & kHigh) != 0) return false;
  // Adding 0x80 - c to a byte below 0x80 sets its high bit exactly when
  // the byte is c or more.
  const uint64_t digit =
      (bytes + (0x80 - '0') * kEach) & ~(bytes + (0x80 - '9' - 1) * kEach);
  const uint64_t lower = bytes | 0x20 * kEach;
  const uint64_t letter =
      (lower + (0x80 - 'a') * kEach) & ~(lower + (0x80 - 'f' - 1) * kEach);
  if (((digit | letter) & kHigh) != kHigh) return false;
  // '0'..'9' hold their value in the low four bits; 'A'..'F' and 'a'..'f'
  // hold it less 9, and have the bit of 0x40 set.
  const uint64_t nibbles = (bytes & 0x0F * kEach) + 9 * ((bytes >> 6) & kEach);
  // The first digit is the highest: pairs, then fours, then all eight.
  const uint64_t pairs = ((nibbles << 4) + (nibbles >> 8)) & 0x00FF00FF00FF00FF;
  const uint64_t fours = ((pairs << 8) + (pairs >> 16)) & 0x0000FFFF0000FFFF;
  *value = static_cast<uint32_t>((fours & 0xFFFF) << 16 | fours >> 32);
  return true;
#else
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    const int digit = HexDigitValue(digits[i]);
    if (digit < 0) return false;
    result = result << 4 | static_cast<uint32_t>(digit);
  }
  *value = result;
  return true;
#endif
}

// Reads hexadecimal text as sscanf's "%x" does: white space, a sign, an
// optional "0x" or "0X" before a digit, then digits. Sets *value and
// *consumed (the bytes up to the last digit; 0 when there is no digit, and
// the value is then 0). Returns false if the digits' value needs more than 32
// bits, leading zeros aside.
bool ParseHexText(std::string_view text, uint32_t* value, size_t* consumed);

// What a token says before any lookup.
struct TokenHash {
  bool looked_up = false;  // whether the token is looked up at all
  bool has_hash = false;   // it holds a hash: digits, 32 bits at most
  uint32_t hash = 0;       // the value looked up (0 when there is no digit)
  size_t hash_length = 0;  // the token's leading bytes a name would replace
};

// Reads a token by DehashToken's rules, without looking it up.
TokenHash ParseToken(std::string_view token);

struct TokenMatch {
  bool resolved = false;
  bool has_hash = false;   // as in TokenHash
  uint32_t hash = 0;       // as in TokenHash
  size_t hash_length = 0;  // the token's leading bytes the name replaces
  std::string_view name;   // valid as long as the table
};

// The lookup that follows ParseToken.
TokenMatch LookUpToken(const NameTable& names, const TokenHash& parsed);

// Reads the token at `start` of `text` whose hash digits start at `digits`,
// when they are the common eight followed by a byte of `text` that is no
// digit: ParseToken then reads the same, however the token goes on. Returns
// false otherwise, leaving *parsed to ParseToken.
inline bool ParseEightDigitToken(std::string_view text, size_t start,
                                 size_t digits, TokenHash* parsed) {
  if (digits + 8 >= text.size() || HexDigitValue(text[digits + 8]) >= 0 ||
      !ReadEightHexDigits(text.data() + digits, &parsed->hash)) {
    return false;
  }
  parsed->looked_up = parsed->has_hash = true;
  parsed->hash_length = digits + 8 - start;
  return true;
}

// Resolves a member token ("UNK_MEMBER_0x" and hex) or a value token ("0x"
// and hex). When the table knows the hash, the result is resolved: the name
// replaces the token's first hash_length bytes (prefix and hex text) and the
// rest of the token, such as a closing quote, stays. Otherwise the token
// stays as it is, also when it is too short to carry a hash.
inline TokenMatch DehashToken(const NameTable& names, std::string_view token) {
  return LookUpToken(names, ParseToken(token));
}

#endif  // QUORVANTIDE_NAMES_DEHASH_TOKEN_H_
