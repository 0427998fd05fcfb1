// Writes a file through one large buffer and remembers whether a write failed.
#ifndef QUORVANTIDE_COMMON_OUTPUT_FILE_H_
#define QUORVANTIDE_COMMON_OUTPUT_FILE_H_

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

constexpr size_t kOutputBufferSize = size_t{1} << 20;

struct OutputFile {
  FILE* file = nullptr;
  std::unique_ptr<char[]> buffer;
  size_t used = 0;
  bool write_error = false;
};

// Creates or truncates `path` for writing in text mode. Returns false, with
// nothing created, if that fails.
bool OpenOutputFile(OutputFile* out, const std::string& path);

// Writes out the buffered bytes; a failure is remembered in write_error.
void FlushOutputFile(OutputFile* out);

// Appends `bytes` to the output.
inline void WriteOutput(OutputFile* out, std::string_view bytes) {
  if (out->used + bytes.size() > kOutputBufferSize) {
    FlushOutputFile(out);
    if (bytes.size() > kOutputBufferSize) {
      if (std::fwrite(bytes.data(), 1, bytes.size(), out->file) !=
          bytes.size()) {
        out->write_error = true;
      }
      return;
    }
  }
  std::memcpy(out->buffer.get() + out->used, bytes.data(), bytes.size());
  out->used += bytes.size();
}

// Flushes and closes the output; with `sync_to_disk` it first forces the
// bytes onto the disk. Returns false if any write, the sync or the close
// failed: the file is then incomplete.
bool CloseOutputFile(OutputFile* out, bool sync_to_disk);

#endif  // QUORVANTIDE_COMMON_OUTPUT_FILE_H_
