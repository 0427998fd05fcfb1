#include "passes/complete_repair.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "names/token_grammar.h"
#include "passes/repair_notice.h"

namespace {

constexpr size_t kNone = std::string_view::npos;

// What a message may show of a line: a piece's worth of characters, and one
// more kept byte for the CR of a CR LF.
constexpr size_t kShownBytes = kMaxChunkLength + 1;

// The offset of the next '<' in text[from, to), or npos.
size_t NextTagStart(std::string_view text, size_t from, size_t to) {
  if (from >= to) return kNone;
  const void* at = std::memchr(text.data() + from, '<', to - from);
  return at ? static_cast<const char*>(at) - text.data() : kNone;
}

// Whether a bare tag starts in text[from, to); the two bytes after `to`
// must be in `text` where a '<' before `to` has them.
bool HasBareTagIn(std::string_view text, size_t from, size_t to) {
  for (size_t at = from; (at = NextTagStart(text, at, to)) != kNone; ++at) {
    if (BareTagPrefixOffset(text.substr(at, kBareTagLength)) != 0) return true;
  }
  return false;
}

// The bytes HasBareTagAnywhere passes over at once.
constexpr size_t kTagBlock = 64;

// Whether the kTagBlock bytes at `block` may start a bare tag: whether one
// is a '<' with a '0' one or two bytes after it. Reads two bytes past the
// block. Written without branches, so that the compiler compares many bytes
// at once.
bool MayHoldBareTag(const char* block) {
  unsigned char any = 0;
  for (size_t i = 0; i < kTagBlock; ++i) {
    any |= static_cast<unsigned char>(
        (block[i] == '<') & ((block[i + 1] == '0') | (block[i + 2] == '0')));
  }
  return any != 0;
}

// The offset of the last line feed in text[from, to), or npos. It is
// usually near `to`, so the search runs backwards.
size_t LastLineFeed(std::string_view text, size_t from, size_t to) {
  for (size_t i = to; i > from; --i) {
    if (text[i - 1] == '\n') return i - 1;
  }
  return kNone;
}

// Announces the line that starts with `head` (its first kept bytes, up to
// kShownBytes of them).
void Announce(std::string_view head, std::string* shown) {
  const size_t lf = head.find('\n');
  ShownAsText(lf == kNone ? head : head.substr(0, lf + 1), shown);
  if (shown->size() > kMaxChunkLength) shown->resize(kMaxChunkLength);
  if (shown->empty() || shown->back() != '\n') shown->push_back('\n');
  AnnounceRepair(*shown);
}

}  // namespace

bool HoldsBareTag(std::string_view text) {
  size_t from = 0;
  for (; from + kTagBlock + kBareTagLength - 1 <= text.size();
       from += kTagBlock) {
    if (MayHoldBareTag(text.data() + from) &&
        HasBareTagIn(text, from, from + kTagBlock)) {
      return true;
    }
  }
  return HasBareTagIn(text, from, text.size());
}

bool HasBareTagAnywhere(ChunkReader* in) {
  // A '<' is judged with the two bytes after it in sight.
  constexpr size_t kAfter = kBareTagLength - 1;
  for (;;) {
    std::string_view view;
    const bool last = PeekBytes(in, kAfter + 1, &view);
    const size_t limit = last ? view.size() : view.size() - kAfter;
    // Most of the data is passed over by blocks that hold no '<' with a
    // '0' one or two bytes after it; only a block that does is searched.
    size_t from = 0;
    for (;
         from + kTagBlock + kAfter <= view.size() && from + kTagBlock <= limit;
         from += kTagBlock) {
      if (MayHoldBareTag(view.data() + from) &&
          HasBareTagIn(view, from, from + kTagBlock)) {
        return true;
      }
    }
    if (HasBareTagIn(view, from, limit)) return true;
    if (last) return false;
    ConsumeBytes(in, limit);
  }
}

void CompleteRepairStream(ChunkReader* in, OutputFile* out) {
  // The line being read: where it starts in the view, or, once that part of
  // the view is consumed, its first bytes kept aside; and whether it was
  // announced.
  size_t line_start = 0;
  bool in_head = false;
  std::string head;
  bool announced = false;
  std::string shown;
  for (;;) {
    std::string_view view;
    const bool last = PeekBytes(in, kShownBytes + 1, &view);
    // A tag is repaired with its line's first bytes in sight, so that the
    // message can show them.
    const size_t limit = last ? view.size() : view.size() - kShownBytes;
    size_t looked = 0;   // the view's bytes before this were looked at for LF
    size_t written = 0;  // and those before this are written out
    auto follow_lines = [&](size_t to) {
      const size_t lf = LastLineFeed(view, looked, to);
      looked = to;
      if (lf == kNone) return;
      line_start = lf + 1;
      in_head = announced = false;
    };
    for (size_t at = 0; (at = NextTagStart(view, at, limit)) != kNone; ++at) {
      const size_t offset =
          BareTagPrefixOffset(view.substr(at, kBareTagLength));
      if (offset == 0) continue;
      follow_lines(at);
      if (!announced) {
        Announce(in_head ? head : view.substr(line_start, kShownBytes), &shown);
        announced = true;
      }
      WriteOutput(out, view.substr(written, at + offset - written));
      WriteOutput(out, kRepairPrefix);
      written = at + offset;
    }
    // A tag that starts right before the limit is written up to its prefix,
    // which may lie past it.
    const size_t done = written > limit ? written : limit;
    WriteOutput(out, view.substr(written, done - written));
    if (last) return;
    follow_lines(done);
    if (!in_head && line_start < done) {
      head.assign(view.substr(line_start, kShownBytes));
      in_head = true;
    } else if (!in_head) {
      line_start -= done;
    }
    ConsumeBytes(in, done);
  }
}

namespace {

// The reader's on_read for RepairOnRead: puts the prefix into each bare
// tag whose three bytes are settled, from `from` on, and holds back from
// `end` the last one or two bytes when they may start a tag not yet read.
void RepairSettledBytes(ChunkReader* reader, size_t from) {
  char* bytes = reader->buffer.get();
  const size_t end = reader->end;
  size_t hold = 0;
  if (!reader->at_eof && end > from && bytes[end - 1] == '<') {
    hold = 1;
  } else if (!reader->at_eof && end >= from + 2 && bytes[end - 2] == '<' &&
             (bytes[end - 1] == '0' || bytes[end - 1] == '/')) {
    hold = 2;
  }
  const size_t limit = end - hold;
  const std::string_view settled(bytes, end);
  std::vector<size_t> inserts;  // where a prefix goes
  for (size_t at = from; (at = NextTagStart(settled, at, limit)) != kNone;
       ++at) {
    const size_t offset =
        BareTagPrefixOffset(settled.substr(at, kBareTagLength));
    if (offset != 0) inserts.push_back(at + offset);
  }
  reader->end = limit;
  if (inserts.empty()) return;
  const size_t grown = inserts.size() * kRepairPrefix.size();
  if (reader->filled + grown > reader->capacity) {
    const size_t capacity = reader->filled + grown + reader->read_size;
    std::unique_ptr<char[]> larger(new char[capacity]);
    std::memcpy(larger.get(), bytes, reader->filled);
    reader->buffer = std::move(larger);
    reader->capacity = capacity;
    bytes = reader->buffer.get();
  }
  // From the back, each stretch moves by the prefixes before it.
  size_t source = reader->filled;
  size_t target = reader->filled + grown;
  for (size_t i = inserts.size(); i-- > 0;) {
    const size_t stretch = source - inserts[i];
    target -= stretch;
    std::memmove(bytes + target, bytes + inserts[i], stretch);
    target -= kRepairPrefix.size();
    std::memcpy(bytes + target, kRepairPrefix.data(), kRepairPrefix.size());
    source = inserts[i];
  }
  reader->filled += grown;
  reader->end += grown;
}

}  // namespace

void RepairOnRead(ChunkReader* reader) {
  reader->on_read = RepairSettledBytes;
  RepairSettledBytes(reader, reader->begin);
}
