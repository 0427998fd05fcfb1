#include "passes/dehash_file.h"

#include <cstdio>
#include <cstring>

#include "common/platform.h"
#include "common/print_message.h"
#include "names/dehash_token.h"

namespace {

constexpr std::string_view kMemberPrefix = "UNK_MEMBER_0x";
constexpr std::string_view kValueMarker = ">0x";

struct ByteSet {
  bool contains[256];
};

constexpr ByteSet MakeByteSet(std::string_view bytes) {
  ByteSet set{};
  for (char c : bytes) set.contains[static_cast<unsigned char>(c)] = true;
  return set;
}

// Bytes that end a member token, and bytes that end a value token.
constexpr ByteSet kMemberStops = MakeByteSet(">/\n \t");
constexpr ByteSet kValueStops = MakeByteSet("</\n \t");

// The offset of the first `marker` in `text`, or npos. Every marker ends in
// the "x" of "0x", and in these files little but hashes holds an "x", so
// looking for it lets memchr skip most of the text.
size_t FindMarker(std::string_view text, std::string_view marker) {
  const size_t head = marker.size() - 1;
  for (size_t at = head; at < text.size(); ++at) {
    const void* x = std::memchr(text.data() + at, 'x', text.size() - at);
    if (x == nullptr) break;
    at = static_cast<const char*>(x) - text.data();
    if (std::memcmp(text.data() + at - head, marker.data(), head) == 0) {
      return at - head;
    }
  }
  return std::string_view::npos;
}

// Resolves the token at `start` of *text, if `names` knows it, by rewriting
// *text into *scratch. Returns whether the text changed.
bool ResolveTokenAt(const NameTable& names, size_t start, const ByteSet& stops,
                    std::string_view* text, std::string* scratch) {
  size_t end = start;
  while (end < text->size() &&
         !stops.contains[static_cast<unsigned char>((*text)[end])]) {
    ++end;
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
// the chunks are likely to look up: the first "0x" texts of each. Only a
// hint; what is resolved is decided by DehashChunk alone.
void PrefetchLookups(const NameTable& names, const std::string_view* chunks,
                     size_t count) {
  uint32_t hashes[kBatchChunks * kHashesPerChunk];
  size_t found = 0;
  for (size_t i = 0; i < count; ++i) {
    std::string_view chunk = chunks[i];
    size_t at = 0;
    for (size_t n = 0; n < kHashesPerChunk; ++n) {
      size_t marker = FindMarker(chunk.substr(at), "0x");
      if (marker == std::string_view::npos) break;
      at += marker + 2;
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
  std::string_view text = chunk;
  // Both member searches start at the chunk's start: when the first token
  // stays as it is, the second search would only find it again.
  for (int pass = 0; pass < 2; ++pass) {
    size_t at = FindMarker(text, kMemberPrefix);
    if (at == std::string_view::npos ||
        !ResolveTokenAt(names, at, kMemberStops, &text, scratch)) {
      break;
    }
  }
  size_t marker = FindMarker(text, kValueMarker);
  if (marker != std::string_view::npos) {
    ResolveTokenAt(names, marker + 1, kValueStops, &text, scratch);
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

void DehashFile(const std::string& path, const NameTable& names) {
  FILE* input = OpenForReading(path);
  if (input == nullptr) {
    PrintMessage("ERROR: Could not open file %s\n", path.c_str());
    return;
  }
  std::string output_path = DehashedPath(path);
  OutputFile output;
  if (!OpenOutputFile(&output, output_path)) {
    PrintMessage(
        "ERROR: Could not create file %s, check your folder write "
        "permissions.\n",
        output_path.c_str());
    std::fclose(input);
    return;
  }
  ChunkReader reader;
  InitChunkReader(&reader, input);
  DehashStream(names, &reader, &output);
  std::fclose(input);
  bool written = CloseOutputFile(&output);
  // An incomplete copy must not pass for a finished one.
  if (reader.read_error) {
    PrintMessage("ERROR: Could not read file %s\n", path.c_str());
    std::remove(output_path.c_str());
  } else if (!written) {
    PrintMessage("ERROR: Could not write file %s\n", output_path.c_str());
    std::remove(output_path.c_str());
  }
}
