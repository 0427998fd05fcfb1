#include "passes/dehash_in_blocks.h"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "common/chunk_reader.h"
#include "common/platform.h"
#include "passes/complete_dehash.h"
#include "passes/dehash_file.h"

namespace {

// Bytes of the input in a buffer that holds the bytes carried over from the
// last block (fewer than a block's read) and a block's read.
struct Block {
  std::unique_ptr<char[]> bytes;
  size_t size = 0;
};

enum class BlockEnd {
  kLineFeed,  // after a line feed; the input goes on
  kInput,     // at the end of the input
  kNone,      // the input goes on, but the block holds no line feed
};

struct BlockSource {
  FILE* file;
  size_t block_size;
  bool read_error = false;
};

// Fills `block` with the bytes *carried over and a block's read after them,
// up to the last line feed read, and sets *carried to the bytes after that,
// which start the next block. *carried stays valid while the buffer it lies
// in is neither refilled nor freed.
BlockEnd ReadBlock(BlockSource* source, std::string_view* carried,
                   Block* block) {
  char* const bytes = block->bytes.get();
  if (!carried->empty()) std::memcpy(bytes, carried->data(), carried->size());
  size_t size = carried->size();
  *carried = {};
  const size_t got =
      std::fread(bytes + size, 1, source->block_size, source->file);
  size += got;
  block->size = size;
  if (got < source->block_size) {
    source->read_error = std::ferror(source->file) != 0;
    return BlockEnd::kInput;
  }
  // The carried bytes hold no line feed: they followed the last one.
  const size_t line_feed = std::string_view(bytes, size).rfind('\n');
  if (line_feed == std::string_view::npos) return BlockEnd::kNone;
  block->size = line_feed + 1;
  *carried = std::string_view(bytes + block->size, size - block->size);
  return BlockEnd::kLineFeed;
}

// The pass of `mode` over all of `in`.
void DehashReader(const NameTable& names, PassMode mode, ChunkReader* in,
                  OutputFile* out, HashCounts* counts) {
  if (mode == PassMode::kComplete) {
    CompleteDehashStream(names, in, out, counts);
  } else {
    DehashStream(names, in, out);
  }
}

// Dehashes the bytes of `block` as a whole input, and keeps its buffer.
void DehashBlock(const NameTable& names, PassMode mode, Block* block,
                 OutputFile* out, HashCounts* counts) {
  ChunkReader reader;
  InitChunkReaderFromBytes(&reader, std::move(block->bytes), block->size);
  DehashReader(names, mode, &reader, out, counts);
  block->bytes = std::move(reader.buffer);
}

// The second thread's block, and what it wrote and met there.
struct Lane {
  const NameTable* names;
  PassMode mode;
  Block block;
  std::string memory;  // what it wrote, but for what `out` still holds
  OutputFile out;
  UnknownHashes unknown;
  HashCounts counts;
};

void RunLane(void* argument) {
  auto* lane = static_cast<Lane*>(argument);
  DehashBlock(*lane->names, lane->mode, &lane->block, &lane->out,
              &lane->counts);
}

// Writes out what the lane wrote and adds what it met to *counts, leaving
// the lane empty.
void TakeLane(Lane* lane, OutputFile* out, HashCounts* counts) {
  // Most blocks' output fits in the lane's buffer and goes out from there.
  WriteOutput(out, lane->memory);
  WriteOutput(out, std::string_view(lane->out.buffer.get(), lane->out.used));
  lane->memory.clear();
  lane->out.used = 0;
  counts->hashes += lane->counts.hashes;
  counts->named += lane->counts.named;
  lane->counts.hashes = lane->counts.named = 0;
  if (counts->unknown == nullptr) return;
  UnknownHashes& unknown = *counts->unknown;
  for (const auto& [hash, seen] : lane->unknown.hashes) {
    unknown.hashes
        .try_emplace(hash, UnknownHashes::Seen{0, unknown.files.size() - 1})
        .first->second.count += seen.count;
  }
  lane->unknown.hashes.clear();
}

// Dehashes `first`, the bytes before the rest of the input, and the rest,
// as one stream.
bool DehashRest(const NameTable& names, PassMode mode, BlockSource* source,
                const Block& first, OutputFile* out, HashCounts* counts) {
  ChunkReader reader;
  InitChunkReaderAfter(&reader, source->file,
                       std::string_view(first.bytes.get(), first.size),
                       LineEnds::kSettle, source->block_size);
  DehashReader(names, mode, &reader, out, counts);
  return !reader.read_error;
}

}  // namespace

bool DehashInBlocks(FILE* input, const NameTable& names, PassMode mode,
                    HashCounts* counts, OutputFile* out, size_t block_size) {
  HashCounts ignored;
  if (counts == nullptr) counts = &ignored;
  if (block_size == 0) block_size = 1;
  BlockSource source{input, block_size};
  Block first;
  first.bytes.reset(new char[2 * block_size]);
  Lane lane;
  lane.names = &names;
  lane.mode = mode;
  // One stand-in file, so that the lane's tally has a file to point to.
  lane.unknown.files.emplace_back();
  lane.counts.unknown = counts->unknown ? &lane.unknown : nullptr;
  std::string_view carried;
  for (;;) {
    const BlockEnd first_end = ReadBlock(&source, &carried, &first);
    if (first_end == BlockEnd::kNone) {
      return DehashRest(names, mode, &source, first, out, counts);
    }
    if (first_end == BlockEnd::kInput) {
      DehashBlock(names, mode, &first, out, counts);
      break;
    }
    if (!lane.block.bytes) {
      // Only an input of more than a block needs the lane.
      lane.block.bytes.reset(new char[2 * block_size]);
      lane.out = MemoryOutput(&lane.memory);
    }
    const BlockEnd second_end = ReadBlock(&source, &carried, &lane.block);
    if (second_end == BlockEnd::kNone) {
      DehashBlock(names, mode, &first, out, counts);
      return DehashRest(names, mode, &source, lane.block, out, counts);
    }
    BackgroundTask task;
    StartBackground(&task, RunLane, &lane);
    DehashBlock(names, mode, &first, out, counts);
    FinishBackground(&task);
    TakeLane(&lane, out, counts);
    if (second_end == BlockEnd::kInput) break;
  }
  return !source.read_error;
}
