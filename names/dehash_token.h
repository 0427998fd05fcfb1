// Resolves one hashed token cut out of a data file into the name it stands for.
#ifndef QUORVANTIDE_NAMES_DEHASH_TOKEN_H_
#define QUORVANTIDE_NAMES_DEHASH_TOKEN_H_

#include <cstddef>
#include <cstdint>
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
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    const int digit = HexDigitValue(digits[i]);
    if (digit < 0) return false;
    result = result << 4 | static_cast<uint32_t>(digit);
  }
  *value = result;
  return true;
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
