#include "passes/dehash_file.h"

#include <cstdio>
#include <cstring>

#include "common/platform.h"
#include "common/print_message.h"
#include "names/dehash_token.h"
#include "names/token_grammar.h"
#include "passes/complete_dehash.h"

namespace {

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

// How many chunks are resolved together. Their lookups are announced to the
// memory system first, so that the cache misses of a whole batch overlap
// instead of coming one after another.
constexpr size_t kBatchChunks = 32;
// A line rarely holds more distinct hashes: an element's name and value.
constexpr size_t kHashesPerChunk = 2;

// Fetches into the cache the slots, and then the names, of the hashes that
// the chunks are likely to look up: the hex digits after the first two x's
// of each. Only a hint; what is resolved is decided by DehashChunk alone.
// GCC sees no effect in a function that only prefetches and drops its calls
// at -O2; noipa keeps it from looking inside.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((noipa))
#endif
void PrefetchLookups(const NameTable& names, const std::string_view* chunks,
                     size_t count) {
  uint32_t hashes[kBatchChunks * kHashesPerChunk];
  size_t found = 0;
  for (size_t i = 0; i < count; ++i) {
    std::string_view chunk = chunks[i];
    size_t at = 0;
    for (size_t n = 0; n < kHashesPerChunk; ++n) {
      size_t x = NextX(chunk, at);
      if (x == std::string_view::npos) break;
      at = x + 1;
      uint32_t hash = 0;
      for (int k = 0; k < 8 && at < chunk.size(); ++k, ++at) {
        int digit = HexDigitValue(chunk[at]);
        if (digit < 0) break;
        hash = hash << 4 | static_cast<uint32_t>(digit);
      }
      hashes[found++] = hash;
      PrefetchSlot(names, hash);
    }
  }
  for (size_t i = 0; i < found; ++i) PrefetchName(names, hashes[i]);
}

}  // namespace

std::string DehashedPath(const std::string& path) {
  size_t at = path.size() < 4 ? 0 : path.size() - 4;
  return path.substr(0, at) + "_dehashed" + path.substr(at);
}

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
  while (size_t count = ReadChunks(in, chunks, kBatchChunks)) {
    PrefetchLookups(names, chunks, count);
    for (size_t i = 0; i < count; ++i) {
      WriteOutput(out, DehashChunk(names, chunks[i], &scratch));
    }
  }
}

bool DehashFile(const std::string& path, const NameTable& names, PassMode mode,
                HashCounts* counts) {
  FILE* input = OpenForReading(path);
  if (input == nullptr) {
    PrintMessage("ERROR: Could not open file %s\n", path.c_str());
    return false;
  }
  std::string output_path = DehashedPath(path);
  OutputFile output;
  if (!OpenOutputFile(&output, output_path)) {
    PrintMessage(
        "ERROR: Could not create file %s, check your folder write "
        "permissions.\n",
        output_path.c_str());
    std::fclose(input);
    return false;
  }
  ChunkReader reader;
  InitChunkReader(&reader, input);
  if (mode == PassMode::kComplete) {
    HashCounts ignored;
    CompleteDehashStream(names, &reader, &output, counts ? counts : &ignored);
  } else {
    DehashStream(names, &reader, &output);
  }
  std::fclose(input);
  bool written = CloseOutputFile(&output);
  // An incomplete copy must not pass for a finished one.
  if (reader.read_error) {
    PrintMessage("ERROR: Could not read file %s\n", path.c_str());
  } else if (!written) {
    PrintMessage("ERROR: Could not write file %s\n", output_path.c_str());
  } else {
    return true;
  }
  RemoveFile(output_path);
  return false;
}
