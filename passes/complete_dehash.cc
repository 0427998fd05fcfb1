#include "passes/complete_dehash.h"

#include "names/dehash_token.h"
#include "names/token_grammar.h"

namespace {

constexpr size_t kNone = std::string_view::npos;

// The bytes at the end of a view that may start a marker whose "x" is not
// read yet: they wait for the next view.
constexpr size_t kMarkerTail = kMemberHead.size();

// How many tokens are found before they are resolved. Their lookups are
// announced to the memory system as they are found, so that the cache
// misses of a batch overlap instead of coming one after another.
constexpr size_t kBatchTokens = 64;

struct FoundToken {
  size_t start;  // in the view
  TokenHash parsed;
  uint32_t offset;  // of its name in the arena; kEmptySlot when unknown
};

// Looks up the tokens, whose slots were fetched as they were found, each
// once, and starts fetching the names of those found.
void LookUpTokens(const NameTable& names, FoundToken* tokens, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    tokens[i].offset = tokens[i].parsed.looked_up
                           ? FindAndFetchName(names, tokens[i].parsed.hash)
                           : kEmptySlot;
  }
}

}  // namespace

void CompleteDehashStream(const NameTable& names, ChunkReader* in,
                          OutputFile* out, HashCounts* counts) {
  FoundToken batch[kBatchTokens];
  // A view holds more than the bytes kept back from the last one (each read
  // adds a read's worth).
  size_t want = kMarkerTail + 1;
  size_t scan = 0;  // where the view's search for markers goes on
  for (;;) {
    std::string_view view;
    const bool last = PeekBytes(in, want, &view);
    want = kMarkerTail + 1;
    size_t written = 0;  // the view's bytes before this are written out
    size_t pos = scan;
    bool searched = false;  // every "x" of the view is seen
    bool read_on = false;   // a token may go on past the view
    while (!searched && !read_on) {
      // Find a batch of tokens, fetching their slots on the way.
      size_t found = 0;
      while (found < kBatchTokens) {
        const size_t x = NextX(view, pos);
        if (x == kNone) {
          searched = true;
          break;
        }
        size_t marker, start;  // where the marker and its token start
        const ByteSet* stops;
        if (EndsMemberMarker(view, x)) {
          marker = start = x + 1 - kMemberMarker.size();
          stops = &kMemberStops;
        } else if (EndsValueMarker(view, x)) {
          marker = x + 1 - kValueMarker.size();
          start = marker + 1;
          stops = &kValueStops;
        } else {
          pos = x + 1;
          continue;
        }
        // Filled in place: a copy of the whole entry would be stored in
        // pieces and read back at once, which stalls.
        FoundToken& token = batch[found];
        TokenHash& parsed = token.parsed;
        const bool eight = ParseEightDigitToken(view, start, x + 1, &parsed);
        // Digits are no stop bytes.
        size_t end = TokenEnd(view, eight ? x + 9 : x + 1, *stops);
        if (end == kNone && !last) {
          // Read on, and come back to the marker with more of the token.
          pos = marker;
          want = 2 * (view.size() - marker) + kMarkerTail + 1;
          read_on = true;
          break;
        }
        if (end == kNone) end = view.size();
        if (!eight) parsed = ParseToken(view.substr(start, end - start));
        if (parsed.looked_up) PrefetchSlot(names, parsed.hash);
        token.start = start;
        ++found;
        pos = end;
      }
      // Fetch their names, then resolve them and write them out.
      LookUpTokens(names, batch, found);
      for (size_t i = 0; i < found; ++i) {
        const size_t start = batch[i].start;
        const TokenHash& parsed = batch[i].parsed;
        const bool resolved = batch[i].offset != kEmptySlot;
        if (parsed.has_hash || resolved) ++counts->hashes;
        if (!resolved) {
          if (parsed.has_hash && counts->unknown != nullptr) {
            UnknownHashes& unknown = *counts->unknown;
            ++unknown.hashes
                  .try_emplace(parsed.hash,
                               UnknownHashes::Seen{0, unknown.files.size() - 1})
                  .first->second.count;
          }
          continue;
        }
        ++counts->named;
        WriteOutput(out, view.substr(written, start - written));
        WriteOutput(out, NameAt(names, batch[i].offset));
        written = start + parsed.hash_length;
      }
    }
    // The view's bytes before `settled` are done with: the search has seen
    // every marker that starts there.
    size_t settled = pos;
    if (searched) {
      // Only a marker whose "x" is not read yet may start in the last bytes.
      pos = view.size();
      settled = last ? view.size() : view.size() - kMarkerTail;
    }
    if (settled < written) settled = written;
    WriteOutput(out, view.substr(written, settled - written));
    if (last) return;
    ConsumeBytes(in, settled);
    scan = pos - settled;
  }
}
