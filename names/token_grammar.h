// How hashes are written in a data file: the markers that start a token and
// the bytes that end one, and the bare tags that the repair mends. Every
// pass reads the data by these definitions alone.
#ifndef QUORVANTIDE_NAMES_TOKEN_GRAMMAR_H_
#define QUORVANTIDE_NAMES_TOKEN_GRAMMAR_H_

#include <cstddef>
#include <cstring>
#include <string_view>

// A member token starts at this marker; its hash follows it.
constexpr std::string_view kMemberMarker = "UNK_MEMBER_0x";
// A value token starts at the "0x" of this marker, right after the ">".
constexpr std::string_view kValueMarker = ">0x";
// What the repair puts into a bare hexadecimal tag.
constexpr std::string_view kRepairPrefix = "UNK_MEMBER_";

struct ByteSet {
  bool contains[256];
};

constexpr ByteSet MakeByteSet(std::string_view bytes) {
  ByteSet set{};
  for (char c : bytes) set.contains[static_cast<unsigned char>(c)] = true;
  return set;
}

// The bytes that end a member token, and those that end a value token. No
// other byte ends one: a CR, a quote or a '<' in a member token stay in it.
constexpr ByteSet kMemberStops = MakeByteSet(">/\n \t");
constexpr ByteSet kValueStops = MakeByteSet("</\n \t");

// Both markers end in the "x" of "0x", and in these files little but hashes
// holds an "x": a search lets memchr find the x's and then looks at the
// bytes before each one. No x is the last byte of both kinds of marker.
constexpr std::string_view kMemberHead =
    kMemberMarker.substr(0, kMemberMarker.size() - 1);

// Whether the "x" at `x` ends a member marker; it then starts at
// x + 1 - kMemberMarker.size().
inline bool EndsMemberMarker(std::string_view text, size_t x) {
  return x >= kMemberHead.size() &&
         std::memcmp(text.data() + x - kMemberHead.size(), kMemberHead.data(),
                     kMemberHead.size()) == 0;
}

// Whether the "x" at `x` ends a value marker; its token then starts at x - 1.
inline bool EndsValueMarker(std::string_view text, size_t x) {
  return x >= 2 && text[x - 2] == '>' && text[x - 1] == '0';
}

// The offset of the next 'x' at or after `from`, or npos.
inline size_t NextX(std::string_view text, size_t from) {
  if (from >= text.size()) return std::string_view::npos;
  const void* x = std::memchr(text.data() + from, 'x', text.size() - from);
  return x ? static_cast<const char*>(x) - text.data() : std::string_view::npos;
}

// Whether `name`, put into a text in place of a hash, could make a marker
// out of its own bytes and those around it: an "x" that starts it or follows
// a "0" in it does, and so does an empty name, which joins the bytes on both
// sides. Other names can change no marker but through an "x" just after them.
inline bool MayMakeMarker(std::string_view name) {
  if (name.empty() || name[0] == 'x') return true;
  for (size_t x = NextX(name, 1); x != std::string_view::npos;
       x = NextX(name, x + 1)) {
    if (name[x - 1] == '0') return true;
  }
  return false;
}

// The offset of the first byte of `stops` at or after `from`, or npos.
inline size_t TokenEnd(std::string_view text, size_t from,
                       const ByteSet& stops) {
  for (size_t i = from; i < text.size(); ++i) {
    if (stops.contains[static_cast<unsigned char>(text[i])]) return i;
  }
  return std::string_view::npos;
}

// A bare hexadecimal tag is told by its first three bytes.
constexpr size_t kBareTagLength = 3;

// Where kRepairPrefix goes into a bare hexadecimal tag at the start of
// `text` ("<0x" or "</0"): after the "<" or the "</". Zero when `text` does
// not start with one.
inline size_t BareTagPrefixOffset(std::string_view text) {
  if (text.size() < 3 || text[0] != '<') return 0;
  if (text[1] == '0' && text[2] == 'x') return 1;
  if (text[1] == '/' && text[2] == '0') return 2;
  return 0;
}

#endif  // QUORVANTIDE_NAMES_TOKEN_GRAMMAR_H_
