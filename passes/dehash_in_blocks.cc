#include "passes/dehash_in_blocks.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "common/background.h"
#include "common/chunk_reader.h"
#include "passes/complete_dehash.h"
#include "passes/complete_repair.h"
#include "passes/default_dehash.h"

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
// With `repair`, a copy of them is read repaired, when there is a bare tag
// to repair: that may grow them past the buffer a block is read into.
void DehashBlock(const NameTable& names, PassMode mode, bool repair,
                 Block* block, OutputFile* out, HashCounts* counts) {
  ChunkReader reader;
  if (repair &&
      HoldsBareTag(std::string_view(block->bytes.get(), block->size))) {
    std::unique_ptr<char[]> copy(new char[block->size]);
    std::memcpy(copy.get(), block->bytes.get(), block->size);
    InitChunkReaderFromBytes(&reader, std::move(copy), block->size);
    RepairOnRead(&reader);
    DehashReader(names, mode, &reader, out, counts);
    return;
  }
  InitChunkReaderFromBytes(&reader, std::move(block->bytes), block->size);
  DehashReader(names, mode, &reader, out, counts);
  block->bytes = std::move(reader.buffer);
}

// A block being dehashed, or dehashed and waiting for its turn to be
// written out, with what was written and met there.
struct Slot {
  enum class State { kFree, kWorking, kDone };
  State state = State::kFree;
  Block block;
  std::string memory;  // what it wrote, but for what `out` still holds
  OutputFile out;
  UnknownHashes unknown;
  HashCounts counts;
};

// What the threads share. The blocks are read, and written out, in the
// order of the input; between the two, each is dehashed by whichever thread
// read it. Every field but the slots' blocks and outputs is guarded by
// `mutex`; a slot's are its thread's while it is kWorking, and the writing
// thread's (see `writing`) once it is kDone.
struct Pipeline {
  const NameTable* names;
  PassMode mode;
  bool repair;
  BlockSource source;
  std::string_view carried;
  bool input_read = false;  // no block is left to read
  size_t next_read = 0;     // the number of the block read next
  size_t next_written = 0;  // the number of the block written out next
  // Whether a thread writes to `out`: one block after another, or a
  // block it dehashes straight into it.
  bool writing = false;
  OutputFile* out;
  HashCounts* counts;
  Slot slots[kBlocksInFlight];
  std::mutex mutex;
  std::condition_variable changed;
};

// Writes out what a slot's block wrote and adds what it met to *counts,
// leaving the slot's output empty.
void TakeSlot(Slot* slot, OutputFile* out, HashCounts* counts) {
  // Most blocks' output fits in the slot's buffer. It goes to the file from
  // there, on this thread: a copy into `out` and a thread to write it would
  // cost more than the write.
  WriteOutputThrough(out, slot->memory);
  WriteOutputThrough(out,
                     std::string_view(slot->out.buffer.get(), slot->out.used));
  slot->memory.clear();
  slot->out.used = 0;
  counts->hashes += slot->counts.hashes;
  counts->named += slot->counts.named;
  slot->counts.hashes = slot->counts.named = 0;
  if (counts->unknown == nullptr) return;
  UnknownHashes& unknown = *counts->unknown;
  for (const auto& [hash, seen] : slot->unknown.hashes) {
    unknown.hashes
        .try_emplace(hash, UnknownHashes::Seen{0, unknown.files.size() - 1})
        .first->second.count += seen.count;
  }
  slot->unknown.hashes.clear();
}

// Writes out the blocks that are done, in order, from the next one on, as
// the thread that writes; `lock` holds the mutex.
void WriteDoneBlocks(Pipeline* pipeline, std::unique_lock<std::mutex>* lock) {
  for (;;) {
    Slot& slot = pipeline->slots[pipeline->next_written % kBlocksInFlight];
    if (slot.state != Slot::State::kDone) break;
    lock->unlock();
    TakeSlot(&slot, pipeline->out, pipeline->counts);
    lock->lock();
    slot.state = Slot::State::kFree;
    ++pipeline->next_written;
    pipeline->changed.notify_all();
  }
  pipeline->writing = false;
  pipeline->changed.notify_all();
}

// Dehashes `block`, the bytes before the rest of the input, and the rest,
// as one stream.
bool DehashRest(const NameTable& names, PassMode mode, bool repair,
                BlockSource* source, const Block& block, OutputFile* out,
                HashCounts* counts) {
  ChunkReader reader;
  InitChunkReaderAfter(&reader, source->file,
                       std::string_view(block.bytes.get(), block.size),
                       LineEnds::kSettle, source->block_size);
  if (repair) RepairOnRead(&reader);
  DehashReader(names, mode, &reader, out, counts);
  return !reader.read_error;
}

// Gives slot `i` its buffers, the kept ones where they fit.
void PrepareSlot(Pipeline* pipeline, size_t i, BlockBuffers* kept) {
  Slot* slot = &pipeline->slots[i];
  // Names are seldom much longer than the hashes they stand for.
  const size_t size = 2 * pipeline->source.block_size;
  if (kept->block_size == pipeline->source.block_size && kept->read[i]) {
    slot->block.bytes = std::move(kept->read[i]);
    slot->out = MemoryOutput(&slot->memory, size, std::move(kept->written[i]));
  } else {
    slot->block.bytes.reset(new char[size]);
    slot->out = MemoryOutput(&slot->memory, size);
  }
  // One stand-in file, so that the slot's tally has a file to point to.
  slot->unknown.files.emplace_back();
  slot->counts.unknown = pipeline->counts->unknown ? &slot->unknown : nullptr;
}

// Reads blocks and dehashes them until the input is read; only the first
// block when `first_only`.
void RunBlocks(Pipeline* pipeline, bool first_only) {
  const NameTable& names = *pipeline->names;
  const PassMode mode = pipeline->mode;
  std::unique_lock<std::mutex> lock(pipeline->mutex);
  for (;;) {
    pipeline->changed.wait(lock, [pipeline] {
      return pipeline->input_read ||
             pipeline->slots[pipeline->next_read % kBlocksInFlight].state ==
                 Slot::State::kFree;
    });
    if (pipeline->input_read) return;
    const size_t number = pipeline->next_read++;
    Slot& slot = pipeline->slots[number % kBlocksInFlight];
    const BlockEnd end =
        ReadBlock(&pipeline->source, &pipeline->carried, &slot.block);
    if (end != BlockEnd::kLineFeed) pipeline->input_read = true;
    slot.state = Slot::State::kWorking;
    if (end == BlockEnd::kNone) {
      // The rest of the input goes straight out after every block before.
      pipeline->changed.wait(lock, [pipeline, number] {
        return pipeline->next_written == number && !pipeline->writing;
      });
      pipeline->writing = true;
      lock.unlock();
      const bool read =
          DehashRest(names, mode, pipeline->repair, &pipeline->source,
                     slot.block, pipeline->out, pipeline->counts);
      lock.lock();
      if (!read) pipeline->source.read_error = true;
      slot.state = Slot::State::kFree;
      ++pipeline->next_written;
      pipeline->writing = false;
      pipeline->changed.notify_all();
      return;
    }
    if (pipeline->next_written == number && !pipeline->writing) {
      // Its turn has come: no need to gather its output first.
      pipeline->writing = true;
      lock.unlock();
      DehashBlock(names, mode, pipeline->repair, &slot.block, pipeline->out,
                  pipeline->counts);
      lock.lock();
      slot.state = Slot::State::kFree;
      ++pipeline->next_written;
      WriteDoneBlocks(pipeline, &lock);
    } else {
      lock.unlock();
      DehashBlock(names, mode, pipeline->repair, &slot.block, &slot.out,
                  &slot.counts);
      lock.lock();
      slot.state = Slot::State::kDone;
      if (pipeline->next_written == number && !pipeline->writing) {
        pipeline->writing = true;
        WriteDoneBlocks(pipeline, &lock);
      }
    }
    if (first_only) return;
  }
}

void RunHelper(void* argument) {
  RunBlocks(static_cast<Pipeline*>(argument), false);
}

}  // namespace

bool DehashInBlocks(FILE* input, const NameTable& names, PassMode mode,
                    HashCounts* counts, OutputFile* out, bool repair,
                    size_t block_size, BlockBuffers* kept) {
  HashCounts ignored;
  BlockBuffers fresh;
  if (kept == nullptr) kept = &fresh;
  Pipeline pipeline;
  pipeline.names = &names;
  pipeline.mode = mode;
  pipeline.repair = repair;
  pipeline.source = BlockSource{input, block_size == 0 ? 1 : block_size};
  pipeline.out = out;
  pipeline.counts = counts == nullptr ? &ignored : counts;
  // The first block alone: most files are no longer, and the helper thread
  // starts only once there is more to share.
  PrepareSlot(&pipeline, 0, kept);
  size_t prepared = 1;
  RunBlocks(&pipeline, true);
  if (!pipeline.input_read) {
    for (; prepared < kBlocksInFlight; ++prepared) {
      PrepareSlot(&pipeline, prepared, kept);
    }
    BackgroundTask helper;
    StartBackground(&helper, RunHelper, &pipeline);
    RunBlocks(&pipeline, false);
    FinishBackground(&helper);
  }
  kept->block_size = pipeline.source.block_size;
  for (size_t i = 0; i < prepared; ++i) {
    kept->read[i] = std::move(pipeline.slots[i].block.bytes);
    kept->written[i] = std::move(pipeline.slots[i].out.buffer);
  }
  return !pipeline.source.read_error;
}
