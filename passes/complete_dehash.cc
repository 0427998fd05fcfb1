#include "passes/complete_dehash.h"

#include "names/dehash_token.h"
#include "names/token_grammar.h"

namespace {

constexpr size_t kNone = std::string_view::npos;

// The bytes at the end of a view that may start a marker whose "x" is not
// read yet: they wait for the next view.
constexpr size_t kMarkerTail = kMemberHead.size();

}  // namespace

void CompleteDehashStream(const NameTable& names, ChunkReader* in,
                          OutputFile* out, HashCounts* counts) {
  // Each view holds a read's worth of bytes beyond the ones kept back.
  size_t want = kMarkerTail + in->read_size;
  size_t scan = 0;  // where the view's search for markers goes on
  for (;;) {
    std::string_view view;
    const bool last = PeekBytes(in, want, &view);
    want = kMarkerTail + in->read_size;
    size_t written = 0;  // the view's bytes before this are written out
    // The view's bytes before this are settled: no marker can start there
    // that is not found yet.
    size_t settled = last ? view.size() : view.size() - kMarkerTail;
    size_t pos = scan;
    bool read_on = false;
    for (size_t x; (x = NextX(view, pos)) != kNone;) {
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
      size_t end = TokenEnd(view, x + 1, *stops);
      if (end == kNone && !last) {
        // The token may go on past the view: read on, from its marker.
        settled = pos = marker;
        want = 2 * (view.size() - marker) + kMarkerTail + in->read_size;
        read_on = true;
        break;
      }
      if (end == kNone) end = view.size();
      const TokenMatch match =
          DehashToken(names, view.substr(start, end - start));
      if (match.has_hash || match.resolved) ++counts->hashes;
      if (match.resolved) {
        ++counts->named;
        WriteOutput(out, view.substr(written, start - written));
        WriteOutput(out, match.name);
        written = start + match.hash_length;
      }
      pos = end;
    }
    // Unless it stopped at a token, the search has seen every "x" of the
    // view, and goes on where the next view's new bytes begin.
    if (!read_on) pos = view.size();
    if (settled < written) settled = written;
    WriteOutput(out, view.substr(written, settled - written));
    if (last) return;
    ConsumeBytes(in, settled);
    scan = pos - settled;
  }
}
