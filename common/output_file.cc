#include "common/output_file.h"

#include "common/platform.h"

bool OpenOutputFile(OutputFile* out, const std::string& path, bool durable,
                    bool text) {
  out->file = CreateNewFile(path);
  if (out->file == nullptr) return false;
  out->crlf = text && kTextLineEnd == "\r\n";
  out->buffer.reset(new char[kOutputBufferSize]);
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

void FlushOutputFile(OutputFile* out) {
  if (out->used == 0) return;
  if (std::fwrite(out->buffer.get(), 1, out->used, out->file) != out->used) {
    out->write_error = true;
  }
  out->unsynced += out->used;
  out->used = 0;
  if (out->durable && out->unsynced >= kWritebackInterval) {
    StartWriteback(out->file);
    out->unsynced = 0;
  }
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
  out->buffer.reset();
  return ok;
}
