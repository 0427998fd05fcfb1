#include "names/text_words.h"

#include "names/dehash_token.h"
#include "names/name_table.h"

namespace {

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

bool HoldsLetter(std::string_view word) {
  for (char c : word) {
    if (IsLetter(c)) return true;
  }
  return false;
}

// The length of the run of hexadecimal digits at `from` of `text`.
size_t HexDigitsAt(std::string_view text, size_t from) {
  size_t end = from;
  while (end < text.size() && HexDigitValue(text[end]) >= 0) ++end;
  return end - from;
}

// Whether `word` may be a name: it holds a letter, and is no hexadecimal
// number ("0x1F"), which names nothing.
bool MayBeName(std::string_view word) {
  if (word.size() > 2 && word[0] == '0' && word[1] == 'x' &&
      HexDigitsAt(word, 2) == word.size() - 2) {
    return false;
  }
  return HoldsLetter(word);
}

// A piece of a run outside its tokens: the word, and its parts between
// punctuation when it has any.
void VisitPiece(std::string_view piece, WordVisitor* visitor) {
  if (piece.size() > kMaxNameLength || !MayBeName(piece)) return;
  visitor->Word(piece);
  if (piece.find_first_of("_-.:") == std::string_view::npos) return;
  size_t start = 0;
  for (size_t i = 0; i <= piece.size(); ++i) {
    if (i < piece.size() && (IsLetter(piece[i]) || IsDigit(piece[i]))) continue;
    const std::string_view part = piece.substr(start, i - start);
    if (MayBeName(part)) visitor->Word(part);
    start = i + 1;
  }
}

// A maximal run of word bytes, whose byte before is `before`.
void VisitRun(std::string_view run, char before, WordVisitor* visitor) {
  size_t piece = 0;
  if (before == '>' && run.size() > 2 && run[0] == '0' && run[1] == 'x') {
    piece = 2 + HexDigitsAt(run, 2);
    visitor->Token(run.substr(0, piece));
  }
  for (size_t marker = run.find(kMemberMarker, piece);
       marker != std::string_view::npos;
       marker = run.find(kMemberMarker, piece)) {
    VisitPiece(run.substr(piece, marker - piece), visitor);
    const size_t end = marker + kMemberMarker.size() +
                       HexDigitsAt(run, marker + kMemberMarker.size());
    visitor->Token(run.substr(marker, end - marker));
    piece = end;
  }
  VisitPiece(run.substr(piece), visitor);
}

}  // namespace

void VisitWords(std::string_view text, char before, WordVisitor* visitor) {
  size_t i = 0;
  while (i < text.size()) {
    if (!IsWordByte(text[i])) {
      before = text[i++];
      continue;
    }
    const size_t start = i;
    while (i < text.size() && IsWordByte(text[i])) ++i;
    VisitRun(text.substr(start, i - start), before, visitor);
  }
}

size_t SplitName(std::string_view name, std::string_view* parts) {
  size_t count = 0;
  size_t start = 0;
  auto cut = [&](size_t end) {
    if (end > start && count < kMaxNameParts) {
      parts[count++] = name.substr(start, end - start);
    } else if (end > start) {
      const std::string_view& last = parts[count - 1];
      parts[count - 1] =
          std::string_view(last.data(), name.data() + end - last.data());
    }
  };
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (!IsLetter(c) && !IsDigit(c)) {
      cut(i);
      start = i + 1;
      continue;
    }
    if (i == start) continue;
    const char previous = name[i - 1];
    const bool boundary = (IsLower(previous) && IsUpper(c)) ||
                          (IsUpper(previous) && IsUpper(c) &&
                           i + 1 < name.size() && IsLower(name[i + 1])) ||
                          (IsLetter(previous) != IsLetter(c));
    if (boundary) {
      cut(i);
      start = i;
    }
  }
  cut(name.size());
  return count;
}
