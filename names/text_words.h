// The words of a text, which the name hunt tries as names, and the parts of
// a name, from which it makes variants.
#ifndef QUORVANTIDE_NAMES_TEXT_WORDS_H_
#define QUORVANTIDE_NAMES_TEXT_WORDS_H_

#include <cstddef>
#include <string_view>

#include "names/token_grammar.h"

// The bytes a word is made of: letters, digits, '_', '-', '.' and ':'.
constexpr ByteSet kWordBytes = MakeByteSet(
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-.:");

inline bool IsWordByte(char c) {
  return kWordBytes.contains[static_cast<unsigned char>(c)];
}

// A byte in the other case, if it is an ASCII letter of this one.
inline char LowerByte(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}
inline char UpperByte(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

// What a text holds for the hunt, piece by piece.
struct WordVisitor {
  // A word: a maximal run of word bytes outside the hash tokens, or one of
  // its parts between '_', '-', '.' and ':'; only those that hold a letter,
  // are no hexadecimal number ("0x1F") and are no longer than a name.
  virtual void Word(std::string_view word) = 0;
  // A hash token: a member marker and the hexadecimal digits after it, or
  // "0x" and the digits after it right after a '>'.
  virtual void Token(std::string_view token) = 0;

 protected:
  ~WordVisitor() = default;
};

// Hands `visitor` the words and the hash tokens of `text`, from left to
// right. `text` must not cut a run of word bytes at its end; `before` is the
// byte before it ('\0' at the start of the input).
void VisitWords(std::string_view text, char before, WordVisitor* visitor);

// The most parts SplitName gives.
constexpr size_t kMaxNameParts = 16;

// Sets parts[0..n) to the parts of `name` and returns n: it is cut at every
// byte that is no letter or digit (which belongs to no part), between a
// lower-case and an upper-case letter, before the last of two or more
// capitals that a lower-case letter follows ("HTTPServer": "HTTP",
// "Server"), and between a letter and a digit. Past kMaxNameParts, the rest
// is the last part.
size_t SplitName(std::string_view name, std::string_view* parts);

#endif  // QUORVANTIDE_NAMES_TEXT_WORDS_H_
