// Writes a file through one large buffer and remembers whether a write failed.
#ifndef QUORVANTIDE_COMMON_OUTPUT_FILE_H_
#define QUORVANTIDE_COMMON_OUTPUT_FILE_H_

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "common/background.h"
#include "common/files.h"

constexpr size_t kOutputBufferSize = size_t{1} << 19;

// A durable file starts its writeback every kWritebackInterval bytes, so
// that the disk works while the file is still being written.
constexpr size_t kWritebackInterval = size_t{8} << 20;

struct OutputFile {
  FILE* file = nullptr;
  std::unique_ptr<char[]> buffer;
  size_t capacity = kOutputBufferSize;  // of `buffer`
  size_t used = 0;
  bool durable = false;
  bool crlf = false;    // each line feed goes out as CR LF
  size_t unsynced = 0;  // bytes written since the last writeback started
  bool write_error = false;
  // When set, the output gathers here, in memory, and `file` is unused.
  std::string* memory = nullptr;
  // A full buffer is written on a thread of its own while the next one
  // fills, so that the copy into the system's cache costs the pass no time.
  // Only the writing thread touches these, and `file`, `unsynced` and
  // `write_error`, until it is finished.
  std::unique_ptr<char[]> writing_buffer = nullptr;
  size_t writing_used = 0;
  BackgroundTask writing = {};
};

// Creates `path` afresh (see CreateNewFile: what stood there goes as a name,
// never written through), keeping the buffers `out` has from an earlier
// file. A `text` file gets each line feed as
// kTextLineEnd; any other is written byte for byte. A `durable` file is
// forced onto the disk before it is closed, so that it may replace another.
// Returns false, with nothing created, if that fails.
bool OpenOutputFile(OutputFile* out, const std::string& path,
                    bool durable = false, bool text = true);

// An output that gathers in *memory, with no line ends changed, through a
// buffer of `capacity` bytes: each full buffer is added there, and the
// bytes still in `buffer` are the caller's to take. Never flush or close it.
// `buffer`, when given, must hold `capacity` bytes.
OutputFile MemoryOutput(std::string* memory,
                        size_t capacity = kOutputBufferSize,
                        std::unique_ptr<char[]> buffer = nullptr);

// Writes out the buffered bytes, and waits for those handed to the writing
// thread; a failure is remembered in write_error.
void FlushOutputFile(OutputFile* out);

// Hands the buffered bytes to the writing thread, once it has written the
// last ones it was given, and goes on with an empty buffer.
void HandOverBuffer(OutputFile* out);

// Appends `bytes` to the output as they are.
inline void WriteBytes(OutputFile* out, std::string_view bytes) {
  while (bytes.size() > out->capacity - out->used) {
    const size_t room = out->capacity - out->used;
    std::memcpy(out->buffer.get() + out->used, bytes.data(), room);
    out->used += room;
    bytes.remove_prefix(room);
    HandOverBuffer(out);
  }
  std::memcpy(out->buffer.get() + out->used, bytes.data(), bytes.size());
  out->used += bytes.size();
}

// WriteBytes with each line feed written as CR LF.
void WriteWithCrLf(OutputFile* out, std::string_view bytes);

// Appends `bytes` to the output, with the file's line ends.
inline void WriteOutput(OutputFile* out, std::string_view bytes) {
  if (out->crlf) {
    WriteWithCrLf(out, bytes);
  } else {
    WriteBytes(out, bytes);
  }
}

// Appends `bytes` as WriteOutput does. Those of a file that keeps its line
// ends go to the file straight from `bytes`, after what is buffered: a
// long stretch made elsewhere is not copied once more.
void WriteOutputThrough(OutputFile* out, std::string_view bytes);

// Flushes and closes the output, a durable one after forcing it onto the
// disk; its buffers stay, for the next file opened with it. Returns false if
// any write, the sync or the close failed: the file is then incomplete.
bool CloseOutputFile(OutputFile* out);

#endif  // QUORVANTIDE_COMMON_OUTPUT_FILE_H_
