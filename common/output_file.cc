#include "common/output_file.h"

#include "common/platform.h"

bool OpenOutputFile(OutputFile* out, const std::string& path, bool durable) {
  out->file = OpenForWriting(path, /*binary=*/durable);
  if (out->file == nullptr) return false;
  out->buffer.reset(new char[kOutputBufferSize]);
  out->used = 0;
  out->durable = durable;
  out->unsynced = 0;
  out->write_error = false;
  return true;
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
  if (out->durable && !SyncToDisk(out->file)) ok = false;
  if (std::fclose(out->file) != 0) ok = false;
  out->file = nullptr;
  out->buffer.reset();
  return ok;
}
