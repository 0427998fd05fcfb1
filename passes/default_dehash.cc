#include "passes/default_dehash.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/byte_masks.h"
#include "names/dehash_token.h"
#include "names/token_grammar.h"

namespace {

constexpr size_t kNone = std::string_view::npos;

// The start of the first member marker ("UNK_MEMBER_0x") whose "x" is at or
// after `from`, or npos. On the way, sets *value to the start of the first
// value marker (">0x") it passes, unless *value is set already.
size_t FindMember(std::string_view text, size_t from, size_t* value) {
  for (size_t x = NextX(text, from); x != std::string_view::npos;
       x = NextX(text, x + 1)) {
    if (EndsMemberMarker(text, x)) return x - kMemberHead.size();
    if (*value == std::string_view::npos && EndsValueMarker(text, x)) {
      *value = x - 2;
    }
  }
  return std::string_view::npos;
}

// The start of the first value marker whose "x" is at or after `from`.
size_t FindValue(std::string_view text, size_t from) {
  for (size_t x = NextX(text, from); x != std::string_view::npos;
       x = NextX(text, x + 1)) {
    if (EndsValueMarker(text, x)) return x - 2;
  }
  return std::string_view::npos;
}

// Resolves the token at `start` of *text, if `names` knows it, by rewriting
// *text into *scratch. A token that runs to the end of a `cut` chunk may have
// lost digits to the next chunk, and stays. Returns whether the text changed.
bool ResolveTokenAt(const NameTable& names, size_t start, const ByteSet& stops,
                    bool cut, std::string_view* text, std::string* scratch) {
  size_t end = TokenEnd(*text, start, stops);
  if (end == std::string_view::npos) {
    if (cut) return false;
    end = text->size();
  }
  TokenMatch match = DehashToken(names, text->substr(start, end - start));
  if (!match.resolved) return false;
  if (text->data() != scratch->data()) scratch->assign(*text);
  scratch->replace(start, match.hash_length, match.name);
  *text = *scratch;
  return true;
}

// How many chunks are read ahead of their resolving. The lookups of a whole
// batch are announced to the memory system first, so that their cache
// misses overlap instead of coming one after another.
constexpr size_t kBatchChunks = 32;
// The markers of a chunk whose tokens are read ahead: a line rarely holds
// more than an element's two tags and its value.
constexpr size_t kPlannedMarkers = 4;

// A marker of a chunk and its token, read in the chunk as it was read.
struct PlannedToken {
  bool member;       // a member marker, else a value marker
  uint8_t start;     // of the token: the marker's, or the "0" of a value's
  uint8_t end;       // of the token: its first stop byte, or the chunk's end
  uint8_t next_x;    // the first "x" after the marker's, or kNoX
  TokenHash parsed;  // looked_up is false when the chunk's end cut it
  uint32_t offset;   // its slot's (FindAndFetchName); kEmptySlot when unknown
};

// No "x" follows in the chunk; past every chunk's end.
constexpr uint8_t kNoX = UINT8_MAX;
static_assert(kMaxChunkLength < kNoX, "a chunk's offsets fit in a byte");

// The first markers of a chunk, and whether it has more.
struct ChunkPlan {
  size_t count;
  bool more;
  PlannedToken tokens[kPlannedMarkers];
};

// Plans the marker whose "x" is at `x` of `chunk`, the chunk's bytes read
// so far: up to its line feed, or kMaxChunkLength, or the input's end.
// Fetches the token's slot. Returns the token planned; null when no marker
// ends there, or when the plan is full (it then notes that it has more).
PlannedToken* PlanMarker(const NameTable& names, std::string_view chunk,
                         size_t x, ChunkPlan* plan) {
  const bool member = EndsMemberMarker(chunk, x);
  if (!member && !EndsValueMarker(chunk, x)) return nullptr;
  if (plan->count == kPlannedMarkers) {
    plan->more = true;
    return nullptr;
  }
  // Filled in place: a copy of the whole entry would be stored in pieces
  // and read back at once, which stalls.
  PlannedToken& token = plan->tokens[plan->count++];
  const size_t start = member ? x + 1 - kMemberMarker.size() : x - 1;
  TokenHash& parsed = token.parsed;
  const bool eight = ParseEightDigitToken(chunk, start, x + 1, &parsed);
  // Digits are no stop bytes. A line feed is one, so a token never runs
  // past the chunk's end.
  size_t end = TokenEnd(chunk, eight ? x + 9 : x + 1,
                        member ? kMemberStops : kValueStops);
  // A token that runs to the end of a chunk the length limit ended may go
  // on in the next chunk.
  const bool cut_short = end == kNone && chunk.size() == kMaxChunkLength;
  if (end == kNone) end = chunk.size();
  if (cut_short) {
    parsed = TokenHash();
  } else if (!eight) {
    parsed = ParseToken(chunk.substr(start, end - start));
  }
  if (parsed.looked_up) PrefetchSlot(names, parsed.hash);
  token.member = member;
  token.start = static_cast<uint8_t>(start);
  token.end = static_cast<uint8_t>(end);
  token.next_x = kNoX;
  return &token;
}

// Cuts chunks out of `view`, settled bytes of the input, from *at on, as
// ReadChunk would, kBatchChunks at most, and plans the markers of each.
// Returns how many chunks it cut, and moves *at past them. Stops before a
// chunk whose end the view does not tell, unless `last`: the view then holds
// the rest of the input.
//
// The line feeds and x's are found together, a block of bytes at a time:
// a search of its own for each line feed and each "x" would cost more than
// the chunks' planning.
size_t CutAndPlanChunks(const NameTable& names, std::string_view view,
                        bool last, size_t* at, std::string_view* chunks,
                        ChunkPlan* plans) {
  const char* const bytes = view.data();
  const size_t size = view.size();
  // Where the view tells the end of every chunk: a chunk that would reach
  // past this end may go on in bytes not read yet.
  const size_t decided_end = last ? SIZE_MAX : size;
  size_t start = *at;  // of the chunk being cut
  size_t count = 0;
  ChunkPlan* plan = &plans[0];
  plan->count = 0;
  plan->more = false;
  // The last token planned, until the next "x" of its chunk is found.
  PlannedToken* waiting = nullptr;
  // Ends the chunk being cut at `end`, and starts the next. Returns whether
  // the batch is full.
  auto close = [&](size_t end) {
    chunks[count] = std::string_view(bytes + start, end - start);
    start = end;
    waiting = nullptr;
    if (++count == kBatchChunks) return true;
    plan = &plans[count];
    plan->count = 0;
    plan->more = false;
    return false;
  };
  // Whether the batch is full, once the chunks before `pos` are cut.
  auto cut_up_to = [&](size_t pos) {
    while (pos >= start + kMaxChunkLength) {
      if (close(start + kMaxChunkLength)) return true;
    }
    return false;
  };
  for (size_t block = start; block < size; block += kMaskBlock) {
    for (uint64_t events = MatchEitherIn(
             bytes + block, std::min(kMaskBlock, size - block), '\n', 'x');
         events != 0; events &= events - 1) {
      const size_t pos = block + LowestBit(events);
      if (cut_up_to(pos) || start + kMaxChunkLength > decided_end) {
        *at = start;
        return count;
      }
      if (bytes[pos] == '\n') {
        if (close(pos + 1)) {
          *at = start;
          return count;
        }
        continue;
      }
      const std::string_view chunk(bytes + start,
                                   std::min(kMaxChunkLength, size - start));
      const size_t x = pos - start;
      if (waiting != nullptr) {
        waiting->next_x = static_cast<uint8_t>(x);
        waiting = nullptr;
      }
      waiting = PlanMarker(names, chunk, x, plan);
    }
  }
  // No line feed is left: the rest goes in full chunks, and at the input's
  // end, in a last shorter one.
  if (!cut_up_to(size) && last && start < size) close(size);
  *at = start;
  return count;
}

// Looks up the planned tokens, whose slots were fetched as they were found,
// each once, and starts fetching the names found.
void LookUpPlans(const NameTable& names, ChunkPlan* plans, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    for (size_t k = 0; k < plans[i].count; ++k) {
      PlannedToken& token = plans[i].tokens[k];
      token.offset = token.parsed.looked_up
                         ? FindAndFetchName(names, token.parsed.hash)
                         : kEmptySlot;
    }
  }
}

// A token of a chunk that gives way to a name.
struct Replacement {
  size_t start;
  size_t length;
  std::string_view name;
};

// Whether, once the member token's name stands in the chunk in place of its
// hash, every "x" that a search from the name's start meets reads as the
// same marker, or as none, as it did in the chunk as read. An "x" ends a
// marker only right after a "0", so only one in the name (told by its slot),
// or one a few bytes after it, may change.
bool KeepsMarkers(const NameTable& names, std::string_view chunk,
                  const PlannedToken& token) {
  if ((token.offset & kMayMakeMarkerBit) != 0) return false;
  // After the name, an "x" whose marker would begin inside the name.
  const size_t after = token.start + token.parsed.hash_length;
  const size_t window = std::min(chunk.size(), after + kMemberHead.size());
  if (token.next_x >= window) return true;
  const std::string_view name = NameAt(names, token.offset);
  for (size_t x = std::max<size_t>(after, token.next_x); x < window; ++x) {
    if (chunk[x] != 'x') continue;
    const char before = x == after ? name.back() : chunk[x - 1];
    if (before == '0' && (x < after + 2 || chunk[x - 2] == '_')) return false;
  }
  return true;
}

// What DehashChunk would replace in `chunk`, told from its plan: the
// searches of the rewritten text meet the markers that were planned in the
// chunk as read, in the same order. Returns false, with *count unset, where
// that cannot be told: a name that could make or break a marker, a value
// token that a name would change, or markers past the planned ones.
bool PlanReplacements(const NameTable& names, std::string_view chunk,
                      const ChunkPlan& plan, Replacement* replacements,
                      size_t* count) {
  const PlannedToken* const tokens = plan.tokens;
  size_t found = 0;
  const PlannedToken* value = nullptr;
  size_t k = 0;
  // The member search, twice at most, each time from where the last
  // member token stood; the first value marker passed is remembered.
  for (int pass = 0; pass < 2; ++pass) {
    const PlannedToken* member = nullptr;
    for (; k < plan.count; ++k) {
      if (tokens[k].member) {
        member = &tokens[k++];
        break;
      }
      if (value == nullptr) value = &tokens[k];
    }
    if (member == nullptr) {
      if (plan.more) return false;
      break;
    }
    if (member->offset == kEmptySlot) {
      // The search for a value goes on from this token.
      for (size_t v = k; value == nullptr && v < plan.count; ++v) {
        if (!tokens[v].member) value = &tokens[v];
      }
      if (value == nullptr && plan.more) return false;
      break;
    }
    if (!KeepsMarkers(names, chunk, *member)) return false;
    replacements[found++] = {member->start, member->parsed.hash_length,
                             NameAt(names, member->offset)};
    if (pass == 1) {
      for (size_t v = k; value == nullptr && v < plan.count; ++v) {
        if (!tokens[v].member) value = &tokens[v];
      }
      if (value == nullptr && plan.more) return false;
    }
  }
  if (value != nullptr) {
    // A name inside the value token would change what it reads.
    for (size_t i = 0; i < found; ++i) {
      if (replacements[i].start > value->start &&
          replacements[i].start < value->end) {
        return false;
      }
    }
    if (value->offset != kEmptySlot) {
      const Replacement replacement{value->start, value->parsed.hash_length,
                                    NameAt(names, value->offset)};
      // In the order of the chunk.
      size_t at = found;
      for (; at > 0 && replacements[at - 1].start > value->start; --at) {
        replacements[at] = replacements[at - 1];
      }
      replacements[at] = replacement;
      ++found;
    }
  }
  *count = found;
  return true;
}

}  // namespace

std::string_view DehashChunk(const NameTable& names, std::string_view chunk,
                             std::string* scratch) {
  // Each search starts at the chunk's start, but the text is scanned only
  // once: a replacement changes the text from the replaced token on, and
  // before it every marker has been seen already. `from` is where the text
  // is yet unseen; a value marker passed on the way is kept, since no later
  // replacement reaches it.
  // A chunk that the length limit ended: its last token may go on in the
  // next chunk.
  const bool cut = chunk.size() == kMaxChunkLength && chunk.back() != '\n';
  std::string_view text = chunk;
  size_t value = std::string_view::npos;
  size_t from = 0;
  for (int pass = 0; pass < 2; ++pass) {
    size_t member = FindMember(text, from, &value);
    if (member == std::string_view::npos) {
      from = text.size();
      break;
    }
    from = member;
    // When the first token stays as it is, the second search would only
    // find it again.
    if (!ResolveTokenAt(names, member, kMemberStops, cut, &text, scratch)) {
      break;
    }
  }
  if (value == std::string_view::npos) value = FindValue(text, from);
  if (value != std::string_view::npos) {
    ResolveTokenAt(names, value + 1, kValueStops, cut, &text, scratch);
  }
  return text;
}

void DehashStream(const NameTable& names, ChunkReader* in, OutputFile* out) {
  std::string scratch;
  scratch.reserve(kMaxDehashedChunk);
  std::string_view chunks[kBatchChunks];
  ChunkPlan plans[kBatchChunks];
  for (;;) {
    // Enough bytes to tell where the first chunk ends.
    std::string_view view;
    const bool last = PeekBytes(in, kChunkBufferSize, &view);
    // The chunks lie one after another: what stays as it is goes out in
    // stretches from `unwritten` on, straight from the read buffer.
    const char* unwritten = view.data();
    auto write_up_to = [&](const char* at) {
      WriteOutput(out, std::string_view(unwritten, at - unwritten));
    };
    size_t cut = 0;
    while (size_t count =
               CutAndPlanChunks(names, view, last, &cut, chunks, plans)) {
      LookUpPlans(names, plans, count);
      for (size_t i = 0; i < count; ++i) {
        const std::string_view chunk = chunks[i];
        Replacement replacements[3];
        size_t replaced;
        if (PlanReplacements(names, chunk, plans[i], replacements, &replaced)) {
          for (size_t r = 0; r < replaced; ++r) {
            write_up_to(chunk.data() + replacements[r].start);
            WriteOutput(out, replacements[r].name);
            unwritten =
                chunk.data() + replacements[r].start + replacements[r].length;
          }
          continue;
        }
        const std::string_view dehashed = DehashChunk(names, chunk, &scratch);
        if (dehashed.data() == chunk.data()) continue;
        write_up_to(chunk.data());
        WriteOutput(out, dehashed);
        unwritten = chunk.data() + chunk.size();
      }
    }
    write_up_to(view.data() + cut);
    if (last) return;
    ConsumeBytes(in, cut);
  }
}
