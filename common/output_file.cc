#include "common/output_file.h"

#include "common/background.h"
#include "common/files.h"

bool OpenOutputFile(OutputFile* out, const std::string& path, bool durable,
                    bool text) {
  out->file = CreateNewFile(path);
  if (out->file == nullptr) return false;
  out->crlf = text && kTextLineEnd == "\r\n";
  if (!out->buffer || out->capacity != kOutputBufferSize) {
    out->buffer.reset(new char[kOutputBufferSize]);
    out->capacity = kOutputBufferSize;
  }
  out->used = 0;
  out->durable = durable;
  out->unsynced = 0;
  out->write_error = false;
  return true;
}

void WriteWithCrLf(OutputFile* out, std::string_view bytes) {
  while (const void* lf = std::memchr(bytes.data(), '\n', bytes.size())) {
    const size_t line = static_cast<const char*>(lf) - bytes.data();
    WriteBytes(out, bytes.substr(0, line));
    WriteBytes(out, "\r\n");
    bytes.remove_prefix(line + 1);
  }
  WriteBytes(out, bytes);
}

namespace {

// Writes `bytes` to the file, starting a durable file's writeback now and
// then.
void WriteToFile(OutputFile* out, const char* bytes, size_t count) {
  if (std::fwrite(bytes, 1, count, out->file) != count) {
    out->write_error = true;
  }
  out->unsynced += count;
  if (out->durable && out->unsynced >= kWritebackInterval) {
    if (!StartWriteback(out->file)) out->write_error = true;
    out->unsynced = 0;
  }
}

void WriteHandedBuffer(void* output) {
  auto* out = static_cast<OutputFile*>(output);
  WriteToFile(out, out->writing_buffer.get(), out->writing_used);
}

}  // namespace

OutputFile MemoryOutput(std::string* memory, size_t capacity,
                        std::unique_ptr<char[]> buffer) {
  OutputFile out;
  out.buffer =
      buffer ? std::move(buffer) : std::unique_ptr<char[]>(new char[capacity]);
  out.capacity = capacity;
  out.memory = memory;
  return out;
}

void HandOverBuffer(OutputFile* out) {
  if (out->memory != nullptr) {
    out->memory->append(out->buffer.get(), out->used);
    out->used = 0;
    return;
  }
  FinishBackground(&out->writing);
  if (!out->writing_buffer) {
    out->writing_buffer.reset(new char[kOutputBufferSize]);
  }
  std::swap(out->buffer, out->writing_buffer);
  out->writing_used = out->used;
  out->used = 0;
  StartBackground(&out->writing, WriteHandedBuffer, out);
}

void WriteOutputThrough(OutputFile* out, std::string_view bytes) {
  if (out->crlf || out->memory != nullptr || bytes.empty()) {
    WriteOutput(out, bytes);
    return;
  }
  FlushOutputFile(out);
  WriteToFile(out, bytes.data(), bytes.size());
}

void FlushOutputFile(OutputFile* out) {
  FinishBackground(&out->writing);
  if (out->used == 0) return;
  WriteToFile(out, out->buffer.get(), out->used);
  out->used = 0;
}

bool CloseOutputFile(OutputFile* out) {
  FlushOutputFile(out);
  bool ok = !out->write_error;
  // Flushed on its own: Windows' C library may write the last bytes in
  // fclose and still report success when that write failed.
  if (std::fflush(out->file) != 0) ok = false;
  if (out->durable && !SyncToDisk(out->file)) ok = false;
  if (std::fclose(out->file) != 0) ok = false;
  out->file = nullptr;
  return ok;
}
