#include "passes/dehash_file.h"

#include <cstdio>
#include <cstring>
#include <utility>

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

// The most member markers a chunk can hold: they cannot overlap.
constexpr size_t kMaxMemberMarkers = kMaxChunkLength / kMemberMarker.size();

constexpr size_t kNone = std::string_view::npos;

// How a chunk is to be dehashed, worked out before any lookup. The rules
// search the chunk as the names are put in (see DehashChunk); as long as no
// name brings an "x" or the start of a marker into the text, and the value
// token holds no replaced member token, that is the same as searching the
// chunk as read, which a plan does.
struct ChunkPlan {
  std::string_view chunk;
  // Where the three tokens that may be resolved start, kNone for none, and
  // what they hold. A token that a chunk's end may have cut short holds no
  // hash to look up.
  size_t member1 = kNone, member2 = kNone, value = kNone, value_end = kNone;
  TokenHash hash1, hash2, value_hash;
};

// What the token at `start` holds, read up to `end` (kNone: to the end of
// the chunk, where a cut chunk may have cut it short).
TokenHash ParseAt(std::string_view chunk, size_t start, size_t end, bool cut) {
  if (end == kNone && cut) return TokenHash();
  return ParseToken(chunk.substr(start, end == kNone ? kNone : end - start));
}

ChunkPlan PlanChunk(std::string_view chunk) {
  ChunkPlan plan;
  plan.chunk = chunk;
  size_t members[kMaxMemberMarkers];
  size_t count = 0;
  for (size_t x = NextX(chunk, 0); x != kNone; x = NextX(chunk, x + 1)) {
    if (EndsMemberMarker(chunk, x)) {
      members[count++] = x + 1 - kMemberMarker.size();
    } else if (plan.value == kNone && EndsValueMarker(chunk, x)) {
      plan.value = x - 1;
    }
  }
  const bool cut = chunk.size() == kMaxChunkLength && chunk.back() != '\n';
  if (count != 0) {
    plan.member1 = members[0];
    plan.hash1 = ParseAt(
        chunk, plan.member1,
        TokenEnd(chunk, plan.member1 + kMemberMarker.size(), kMemberStops),
        cut);
    // The second search starts where the first name ends.
    for (size_t i = 1; plan.hash1.looked_up && i < count; ++i) {
      if (members[i] >= plan.member1 + plan.hash1.hash_length) {
        plan.member2 = members[i];
        plan.hash2 = ParseAt(
            chunk, plan.member2,
            TokenEnd(chunk, plan.member2 + kMemberMarker.size(), kMemberStops),
            cut);
        break;
      }
    }
  }
  if (plan.value != kNone) {
    plan.value_end = TokenEnd(chunk, plan.value + 2, kValueStops);
    plan.value_hash = ParseAt(chunk, plan.value, plan.value_end, cut);
    if (plan.value_end == kNone) plan.value_end = chunk.size();
  }
  return plan;
}

// Whether putting `name` into a chunk leaves every search of the rules as
// it was: it holds no "x", and it does not end as a marker begins.
bool LeavesSearchesAlone(std::string_view name) {
  static constexpr ByteSet kMarkerBytes = MakeByteSet(kMemberHead);
  if (name.empty()) return true;
  if (std::memchr(name.data(), 'x', name.size()) != nullptr) return false;
  const char last = name.back();
  if (last == '>' ||
      (last == '0' && name.size() >= 2 && name[name.size() - 2] == '>')) {
    return false;
  }
  if (!kMarkerBytes.contains[static_cast<unsigned char>(last)]) return true;
  for (size_t length = 1; length <= kMemberHead.size(); ++length) {
    if (name.size() >= length && std::memcmp(name.data() + name.size() - length,
                                             kMemberHead.data(), length) == 0) {
      return false;
    }
  }
  return true;
}

struct Replacement {
  size_t at, length;
  std::string_view name;
};

// Writes the chunk of `plan` dehashed. Returns false, having written
// nothing, where the plan does not hold.
bool WritePlanned(const NameTable& names, const ChunkPlan& plan,
                  OutputFile* out) {
  Replacement replaced[3];
  size_t count = 0;
  auto resolve = [&](size_t at, const TokenHash& hash) {
    const TokenMatch match = LookUpToken(names, hash);
    if (match.resolved) {
      replaced[count++] = Replacement{at, match.hash_length, match.name};
    }
    return match.resolved;
  };
  if (plan.member1 != kNone && resolve(plan.member1, plan.hash1) &&
      plan.member2 != kNone) {
    resolve(plan.member2, plan.hash2);
  }
  const size_t members = count;
  if (plan.value != kNone && resolve(plan.value, plan.value_hash)) {
    for (size_t i = 0; i < members; ++i) {
      if (replaced[i].at < plan.value_end &&
          plan.value < replaced[i].at + replaced[i].length) {
        return false;
      }
    }
    // The value may lie before the members.
    for (size_t i = count - 1; i > 0 && replaced[i].at < replaced[i - 1].at;
         --i) {
      std::swap(replaced[i], replaced[i - 1]);
    }
  }
  for (size_t i = 0; i < count; ++i) {
    if (!LeavesSearchesAlone(replaced[i].name)) return false;
  }
  size_t written = 0;
  for (size_t i = 0; i < count; ++i) {
    WriteOutput(out, plan.chunk.substr(written, replaced[i].at - written));
    WriteOutput(out, replaced[i].name);
    written = replaced[i].at + replaced[i].length;
  }
  WriteOutput(out, plan.chunk.substr(written));
  return true;
}

// Fetches into the cache, only as a hint, the names that a batch of plans
// may resolve to, once their slots, fetched as the plans were made, have
// arrived. GCC sees no effect in a function that only prefetches and drops
// its calls at -O2; noipa keeps it from looking inside.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((noipa))
#endif
void PrefetchNames(const NameTable& names, const ChunkPlan* plans,
                   size_t count) {
  for (size_t i = 0; i < count; ++i) {
    for (const TokenHash* hash :
         {&plans[i].hash1, &plans[i].hash2, &plans[i].value_hash}) {
      if (hash->looked_up) PrefetchName(names, hash->hash);
    }
  }
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
  ChunkPlan plans[kBatchChunks];
  while (size_t count = ReadChunks(in, chunks, kBatchChunks)) {
    for (size_t i = 0; i < count; ++i) {
      plans[i] = PlanChunk(chunks[i]);
      for (const TokenHash* hash :
           {&plans[i].hash1, &plans[i].hash2, &plans[i].value_hash}) {
        if (hash->looked_up) PrefetchSlot(names, hash->hash);
      }
    }
    PrefetchNames(names, plans, count);
    for (size_t i = 0; i < count; ++i) {
      if (!WritePlanned(names, plans[i], out)) {
        WriteOutput(out, DehashChunk(names, chunks[i], &scratch));
      }
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
