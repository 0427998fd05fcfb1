// The reader, every pass and the word-list loader on arbitrary bytes; the
// first byte picks the read size. Checked: every read size gives the chunks
// that one large read gives; the kept chunks are the input, and the settled
// ones the same chunks with CR LF read as LF; the repair only inserts the
// prefix where a chunk begins "<0x" or "</0"; the dehash pass follows the
// plain rules; every name of the input as a word list is found under its
// hash unless an earlier name holds that hash. Built with
// QUORVANTIDE_FUZZ_REPLAY, it is an ordinary test instead: the checks run on
// every input of the corpus folder given, at every read size, and on seeded
// jumbles of the pieces that hashed XML is made of.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "names/dehash_token.h"
#include "names/hash_name_map.h"
#include "names/name_hash.h"
#include "passes/complete_dehash.h"
#include "passes/complete_repair.h"
#include "passes/default_dehash.h"
#include "passes/dehash_in_blocks.h"
#include "passes/repair_in_place.h"

namespace {

#define CHECK(condition) \
  if (!(condition)) std::fprintf(stderr, "failed: %s\n", #condition), abort()

// A stream that reads `bytes`, which must outlive it.
FILE* OpenBytes(const std::string& bytes) {
  if (bytes.empty()) return std::fopen("/dev/null", "rb");
  return fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
}

// The dehash rules of one chunk written as plainly as possible: each search
// starts over at the chunk's start and runs on the text as it stands.
std::string ReferenceDehash(const NameTable& names, std::string text) {
  const bool cut = text.size() == kMaxChunkLength && text.back() != '\n';
  auto resolve = [&](size_t start, const char* stops) {
    size_t end = text.find_first_of(stops, start);
    if (end == std::string::npos) end = text.size();
    if (cut && end == text.size()) return false;
    TokenMatch match = DehashToken(names, text.substr(start, end - start));
    if (match.resolved) text.replace(start, match.hash_length, match.name);
    return match.resolved;
  };
  for (int pass = 0; pass < 2; ++pass) {
    size_t at = text.find("UNK_MEMBER_0x");
    if (at == std::string::npos || !resolve(at, ">/\n \t")) break;
  }
  size_t marker = text.find(">0x");
  if (marker != std::string::npos) resolve(marker + 1, "</\n \t");
  return text;
}

// Names that themselves hold markers, x's or parts of a marker.
NameTable TestNames() {
  NameTable names;
  // clang-format off
  const char* const kNames[] = {"abc", "UNK_MEMBER_0xED131F5B", ">0xCA2E9442",
      "index", "x", "UNK_MEMBER_", "MEMBER_0", ">0", "a>0", "UNK_MEMBER_0x0F t",
      "UNK_MEMBE"};
  const uint32_t kHashes[] = {0xED131F5B, 0xCA2E9442, 0x1A2B3C4D, 0x00000000,
      0x12345678, 0x0000000F, 0x000000FF, 0xFFFFFFFF, 0xC0FFEE00, 0x0ED131F5,
      0x0BADF00D};
  // clang-format on
  for (int i = 0; i < 11; ++i) InsertName(&names, kHashes[i], kNames[i]);
  return names;
}

// What `pass` writes and prints, given `bytes` through reads of `read_size`.
struct Written {
  std::string output, console;
};
template <typename Pass>
Written Run(const std::string& bytes, size_t read_size, LineEnds line_ends,
            Pass pass) {
  FILE* file = OpenBytes(bytes);
  ChunkReader reader;
  InitChunkReader(&reader, file, line_ends, read_size);
  char *output = nullptr, *console = nullptr;
  size_t output_size = 0, console_size = 0;
  OutputFile out{open_memstream(&output, &output_size),
                 std::unique_ptr<char[]>(new char[kOutputBufferSize])};
  FILE* const real_stdout = stdout;
  stdout = open_memstream(&console, &console_size);
  pass(&reader, &out);
  std::fclose(stdout);
  stdout = real_stdout;
  FlushOutputFile(&out);
  std::fclose(out.file);
  std::fclose(file);
  Written written{std::string(output, output_size),
                  std::string(console, console_size)};
  std::free(output);
  std::free(console);
  return written;
}

// What DehashInBlocks writes for `bytes` in blocks of `block_size`.
std::string InBlocks(const std::string& bytes, size_t block_size,
                     const NameTable& names, PassMode mode, HashCounts* counts,
                     bool repair = false) {
  // The reader only holds the file: the blocks are read from it directly.
  return Run(bytes, 1, LineEnds::kSettle,
             [&](ChunkReader* in, OutputFile* out) {
               CHECK(DehashInBlocks(in->file, names, mode, counts, out, repair,
                                    block_size));
             })
      .output;
}

// The chunks of `bytes` read through reads of `read_size` bytes.
std::vector<std::string> ChunksOf(const std::string& bytes, size_t read_size,
                                  LineEnds line_ends) {
  std::vector<std::string> chunks;
  Run(bytes, read_size, line_ends, [&](ChunkReader* in, OutputFile*) {
    // Batches of one to five chunks, as the read size picks.
    std::string_view batch[5];
    while (size_t count = ReadChunks(in, batch, 1 + read_size % 5)) {
      chunks.insert(chunks.end(), batch, batch + count);
    }
  });
  return chunks;
}

// The complete repair written plainly: every "<0x" and "</0" gets the
// prefix, and every line that holds one shows its first 99 characters as
// text mode reads them.
Written ReferenceCompleteRepair(const std::string& kept) {
  Written expected;
  for (size_t line = 0; line < kept.size();) {
    size_t end = kept.find('\n', line);
    end = end == std::string::npos ? kept.size() : end + 1;
    bool bare = false;
    for (size_t i = line; i < end; ++i) {
      expected.output += kept[i];
      if (kept.compare(i, 3, "<0x") == 0 || kept.compare(i, 3, "</0") == 0) {
        expected.output += kept[i + 1] == '/' ? "/UNK_MEMBER_" : "UNK_MEMBER_";
        i += kept[i + 1] == '/';
        bare = true;
      }
    }
    if (bare) {
      std::string shown = kept.substr(line, end - line);
      if (shown.size() >= 2 &&
          shown.compare(shown.size() - 2, 2, "\r\n") == 0) {
        shown.erase(shown.size() - 2, 1);
      }
      shown = shown.substr(0, kMaxChunkLength);
      if (shown.back() != '\n') shown += '\n';
      expected.console += "Attempting to fix invalid XML " + shown;
    }
    line = end;
  }
  return expected;
}

// The complete dehash written plainly: from left to right, the first marker
// of either kind starts a token, which is resolved, and the search goes on
// after it.
std::string ReferenceCompleteDehash(const NameTable& names,
                                    const std::string& text,
                                    HashCounts* counts) {
  std::string out;
  for (size_t at = 0;;) {
    const size_t member = text.find("UNK_MEMBER_0x", at);
    const size_t value = text.find(">0x", at);
    if (member == std::string::npos && value == std::string::npos) {
      return out + text.substr(at);
    }
    const bool is_member = member < value;
    const size_t start = is_member ? member : value + 1;
    size_t end = text.find_first_of(is_member ? ">/\n \t" : "</\n \t", start);
    if (end == std::string::npos) end = text.size();
    const std::string token = text.substr(start, end - start);
    const TokenMatch match = DehashToken(names, token);
    counts->hashes += match.has_hash || match.resolved;
    counts->named += match.resolved;
    out += text.substr(at, start - at);
    out += match.resolved
               ? std::string(match.name) + token.substr(match.hash_length)
               : token;
    at = end;
  }
}

// Checks the reader and every pass on `input` through reads of `read_size`
// bytes against the plain rules.
void CheckPasses(const std::string& input, size_t read_size,
                 const NameTable& names) {
  const auto settled = ChunksOf(input, input.size() + 1, LineEnds::kSettle);
  const auto kept = ChunksOf(input, input.size() + 1, LineEnds::kKeep);
  CHECK(ChunksOf(input, read_size, LineEnds::kSettle) == settled);
  CHECK(ChunksOf(input, read_size, LineEnds::kKeep) == kept);
  CHECK(settled.size() == kept.size());

  std::string joined, text, repaired, announced, dehashed;
  for (size_t i = 0; i < kept.size(); ++i) {
    const std::string& chunk = settled[i];
    // A line feed only ends a chunk; a chunk without one is a full piece of
    // a long line, or the input's last.
    CHECK(!chunk.empty() && chunk.size() <= kMaxChunkLength &&
          chunk.find('\n') >= chunk.size() - 1);
    CHECK(chunk.back() == '\n' || chunk.size() == kMaxChunkLength ||
          i + 1 == kept.size());
    const bool crlf = kept[i].size() == chunk.size() + 1;
    CHECK(kept[i] ==
          (crlf ? chunk.substr(0, chunk.size() - 1) + "\r\n" : chunk));
    joined += kept[i];
    text += chunk;
    const size_t at = chunk.compare(0, 3, "<0x") == 0   ? 1
                      : chunk.compare(0, 3, "</0") == 0 ? 2
                                                        : 0;
    repaired += at ? kept[i].substr(0, at) + "UNK_MEMBER_" + kept[i].substr(at)
                   : kept[i];
    if (at != 0) announced += "Attempting to fix invalid XML " + chunk;
    dehashed += ReferenceDehash(names, chunk);
  }
  CHECK(joined == input);

  // Every pass at this read size, the complete ones too, against the plain
  // rules.
  auto looks = [&](bool (*look)(ChunkReader*)) {
    bool found = false;
    Run(input, read_size, LineEnds::kKeep,
        [&](ChunkReader* in, OutputFile*) { found = look(in); });
    return found;
  };
  auto dehash = [&](auto pass) {
    return Run(input, read_size, LineEnds::kSettle, pass).output;
  };
  const Written repair = Run(input, read_size, LineEnds::kKeep, RepairStream);
  CHECK(repair.output == repaired && repair.console == announced);
  CHECK(looks(HasBareTag) == !announced.empty());
  CHECK(dehash([&](ChunkReader* in, OutputFile* out) {
          DehashStream(names, in, out);
        }) == dehashed);
  const Written complete = ReferenceCompleteRepair(input);
  const Written got =
      Run(input, read_size, LineEnds::kKeep, CompleteRepairStream);
  CHECK(got.output == complete.output && got.console == complete.console);
  CHECK(looks(HasBareTagAnywhere) == (complete.output != input));
  HashCounts expected_counts, counts;
  UnknownHashes tally;
  tally.files = {"earlier.ymt", "this.ymt"};
  counts.unknown = &tally;
  const std::string completed =
      ReferenceCompleteDehash(names, text, &expected_counts);
  CHECK(dehash([&](ChunkReader* in, OutputFile* out) {
          CompleteDehashStream(names, in, out, &counts);
        }) == completed);
  CHECK(counts.hashes == expected_counts.hashes &&
        counts.named == expected_counts.named);

  // In blocks on two threads, as a data file is read: the same bytes, and
  // the same tally.
  const size_t block_size = std::max(read_size, input.size() / 32);
  CHECK(InBlocks(input, block_size, names, PassMode::kDefault, nullptr) ==
        dehashed);
  HashCounts block_counts;
  UnknownHashes block_tally;
  block_tally.files = tally.files;
  block_counts.unknown = &block_tally;
  CHECK(InBlocks(input, block_size, names, PassMode::kComplete,
                 &block_counts) == completed);
  CHECK(block_counts.hashes == counts.hashes &&
        block_counts.named == counts.named);
  // Repaired as it is read, as a copy into a folder of its own is made:
  // the complete repair's text with settled line ends, at this read size,
  // and dehashed in blocks, the complete copy of that text.
  std::string repaired_text;
  for (const std::string& chunk : ChunksOf(
           complete.output, complete.output.size() + 1, LineEnds::kSettle)) {
    repaired_text += chunk;
  }
  CHECK(dehash([&](ChunkReader* in, OutputFile* out) {
          RepairOnRead(in);
          std::string_view chunk;
          while (ReadChunk(in, &chunk)) WriteOutput(out, chunk);
        }) == repaired_text);
  HashCounts ignored;
  CHECK(
      InBlocks(input, block_size, names, PassMode::kComplete, nullptr, true) ==
      ReferenceCompleteDehash(names, repaired_text, &ignored));
  CHECK(block_tally.hashes.size() == tally.hashes.size());
  for (const auto& [hash, seen] : tally.hashes) {
    const auto found = block_tally.hashes.find(hash);
    CHECK(found != block_tally.hashes.end() &&
          found->second.count == seen.count &&
          found->second.first_file == seen.first_file);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Console messages would only slow the runs down.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t read_size = 1 + data[0] % 128;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  static const NameTable names = TestNames();
  CheckPasses(input, read_size, names);

  // The input as a word list: every first name of a hash is found.
  std::unordered_map<uint32_t, std::string> first;
  for (const std::string& chunk :
       ChunksOf(input, input.size() + 1, LineEnds::kSettle)) {
    const std::string name = chunk.substr(0, chunk.find('\n'));
    if (!name.empty()) first.emplace(NameHash(name), name);
  }

  NameTable table;
  FILE* list = OpenBytes(input);
  const char* unread = nullptr;
  // The input as "MemberNames.txt".
  CHECK(LoadHashNameMap(list, &table, &unread));
  std::fclose(list);
  CHECK(table.count == first.size());
  for (const auto& [hash, name] : first) {
    std::string_view found;
    CHECK(FindName(table, hash, &found) && found == name);
  }
  return 0;
}

#ifdef QUORVANTIDE_FUZZ_REPLAY
#include <sys/resource.h>

namespace {

// The whole file at `path`.
std::string Slurp(const std::filesystem::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

}  // namespace

int main(int argc, char** argv) {
#ifndef QUORVANTIDE_SANITIZE  // the sanitizers reserve far more than this
  // A fault that writes without end must not take all memory.
  const rlimit kMaxMemory = {size_t{4} << 30, size_t{4} << 30};
  setrlimit(RLIMIT_AS, &kMaxMemory);
#endif
  LLVMFuzzerInitialize(&argc, &argv);
  auto check = [](const std::string& input) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()),
                           input.size());
  };
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    const std::string bytes = Slurp(entry.path());
    // The first byte picks the read size.
    for (int read_size = 0; read_size < 128; ++read_size) {
      check(static_cast<char>(read_size) + bytes.substr(1));
    }
  }
  // Pieces of hashed XML and of its faults, between the "|".
  std::vector<std::string> pieces;
  std::istringstream text(
      "UNK_MEMBER_0x|UNK_MEMBER_|0x|>|x|ED131F5B|CA2E9442|1A2B3C4D|00000000|"
      "12345678|F|FFFFFFFF|C0FFEE00|<|/| |\t|\"|z|0|-|\n|\r\n|\r|\r\r\n|<0x|"
      "</0|\xff");
  for (std::string p; std::getline(text, p, '|');) pieces.push_back(p);
  std::mt19937 random(1);
#ifdef QUORVANTIDE_SANITIZE
  // Each input starts and joins threads, which the sanitizers make slow: a
  // fifth of the inputs keeps their run within minutes.
  constexpr int kSeeded = 4000;
#else
  constexpr int kSeeded = 20000;
#endif
  for (int i = 0; i < kSeeded; ++i) {
    std::string input(1, static_cast<char>(i % 128));
    while (input.size() < 400) input += pieces[random() % pieces.size()];
    check(input);
  }
  return 0;
}
#endif  // QUORVANTIDE_FUZZ_REPLAY
