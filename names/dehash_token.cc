#include "names/dehash_token.h"

#include "names/token_grammar.h"

namespace {

constexpr std::string_view kHexPrefix = kValueMarker.substr(1);

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

}  // namespace

bool ParseHexText(std::string_view text, uint32_t* value, size_t* consumed) {
  *value = 0;
  *consumed = 0;
  // Most hashes are eight digits and what ends them, read here at once; with
  // a digit first there is no white space, sign or "0x" to skip.
  if ((text.size() == 8 || (text.size() > 8 && HexDigitValue(text[8]) < 0)) &&
      ReadEightHexDigits(text.data(), value)) {
    *consumed = 8;
    return true;
  }
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i + 2 < text.size() && text[i] == '0' &&
      (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      HexDigitValue(text[i + 2]) >= 0) {
    i += 2;
  }
  const size_t first_digit = i;
  while (i < text.size() && text[i] == '0') ++i;
  const size_t first_significant = i;
  uint32_t result = 0;
  for (int digit; i < text.size() && (digit = HexDigitValue(text[i])) >= 0;
       ++i) {
    result = result << 4 | static_cast<uint32_t>(digit);
  }
  if (i == first_digit) return true;
  if (i - first_significant > 8) return false;
  *value = negative ? 0u - result : result;
  *consumed = i;
  return true;
}

TokenHash ParseToken(std::string_view token) {
  TokenHash parsed;
  if (token.size() < 3) return parsed;
  size_t prefix_length = kHexPrefix.size();
  if (token.size() >= 16 &&
      token.substr(0, kMemberMarker.size()) == kMemberMarker) {
    prefix_length = kMemberMarker.size();
  } else if (token.size() > 3 && token.substr(0, 2) != kHexPrefix) {
    // Too short for a member hash, such as a member token cut by a chunk's
    // end: it stays as it is rather than vanishing from the output.
    return parsed;
  }
  size_t consumed;
  if (!ParseHexText(token.substr(prefix_length), &parsed.hash, &consumed)) {
    return parsed;
  }
  parsed.looked_up = true;
  parsed.has_hash = consumed != 0;
  parsed.hash_length = prefix_length + consumed;
  return parsed;
}

TokenMatch LookUpToken(const NameTable& names, const TokenHash& parsed) {
  TokenMatch match;
  match.has_hash = parsed.has_hash;
  match.hash = parsed.hash;
  match.resolved =
      parsed.looked_up && FindName(names, parsed.hash, &match.name);
  if (match.resolved) match.hash_length = parsed.hash_length;
  return match;
}
