#include "common/chunk_reader.h"

#include <cstring>
#include <utility>

namespace {

// Turns each CR LF in [end, filled) into LF, in place. A CR that is the last
// byte read is left unsettled until the next read shows what follows it,
// unless the input has ended, when it stays a CR.
void SettleLineEnds(ChunkReader* reader) {
  char* buffer = reader->buffer.get();
  size_t read = reader->end;
  size_t write = reader->end;
  while (read < reader->filled) {
    const void* found = std::memchr(buffer + read, '\r', reader->filled - read);
    size_t stop =
        found ? static_cast<const char*>(found) - buffer : reader->filled;
    if (write != read) std::memmove(buffer + write, buffer + read, stop - read);
    write += stop - read;
    read = stop;
    if (!found) break;
    if (read + 1 < reader->filled) {
      bool pair = buffer[read + 1] == '\n';
      buffer[write++] = pair ? '\n' : '\r';
      read += pair ? 2 : 1;
    } else if (reader->at_eof) {
      buffer[write++] = '\r';
      read += 1;
    } else {
      break;
    }
  }
  size_t pending = reader->filled - read;
  if (pending != 0 && write != read) buffer[write] = buffer[read];
  reader->end = write;
  reader->filled = write + pending;
}

// Makes the line ends of the bytes just read known: settles them, or keeps
// them as they are.
void SettleOrKeep(ChunkReader* reader) {
  if (reader->line_ends == LineEnds::kSettle) {
    SettleLineEnds(reader);
  } else {
    reader->end = reader->filled;
  }
}

// Moves the unread bytes to the front and reads more after them, first
// growing the buffer if they leave no room for a whole read.
void Refill(ChunkReader* reader) {
  size_t unread = reader->filled - reader->begin;
  if (unread + reader->read_size > reader->capacity) {
    size_t capacity = 2 * reader->capacity;
    if (capacity < unread + reader->read_size) {
      capacity = unread + reader->read_size;
    }
    std::unique_ptr<char[]> grown(new char[capacity]);
    std::memcpy(grown.get(), reader->buffer.get() + reader->begin, unread);
    reader->buffer = std::move(grown);
    reader->capacity = capacity;
  } else if (reader->begin != 0) {
    std::memmove(reader->buffer.get(), reader->buffer.get() + reader->begin,
                 unread);
  }
  reader->end -= reader->begin;
  reader->filled = unread;
  reader->begin = 0;
  char* buffer = reader->buffer.get();
  size_t got =
      std::fread(buffer + reader->filled, 1, reader->read_size, reader->file);
  reader->filled += got;
  if (got == 0) {
    reader->at_eof = true;
    reader->read_error = std::ferror(reader->file) != 0;
  }
  const size_t from = reader->end;
  SettleOrKeep(reader);
  if (reader->on_read != nullptr) reader->on_read(reader, from);
}

// Cuts the next chunk out of the bytes already settled. Returns false when
// they do not tell where it ends and the input goes on.
bool CutChunk(ChunkReader* reader, std::string_view* chunk) {
  const char* start = reader->buffer.get() + reader->begin;
  size_t available = reader->end - reader->begin;
  size_t limit = available < kMaxChunkLength ? available : kMaxChunkLength;
  size_t length = 0;
  if (const void* lf = std::memchr(start, '\n', limit)) {
    length = static_cast<const char*>(lf) - start + 1;
  } else if (reader->line_ends == LineEnds::kKeep && limit == kMaxChunkLength &&
             start[limit - 1] == '\r') {
    // A kept CR LF whose CR is the last character allowed counts as one
    // character with its LF, which lies just past the limit. (A settled CR
    // is always a lone one, even where an LF follows it.)
    if (available > limit) {
      length = start[limit] == '\n' ? limit + 1 : limit;
    } else if (reader->at_eof) {
      length = limit;
    }
  } else if (available >= kMaxChunkLength || reader->at_eof) {
    length = limit;
  }
  if (length == 0) return false;
  *chunk = std::string_view(start, length);
  reader->begin += length;
  return true;
}

}  // namespace

void InitChunkReader(ChunkReader* reader, FILE* file, LineEnds line_ends,
                     size_t read_size) {
  reader->file = file;
  reader->line_ends = line_ends;
  reader->read_size = read_size == 0 ? 1 : read_size;
  // Room for one read after the longest unread tail of ReadChunk: a chunk's
  // worth of settled bytes and an unsettled CR.
  reader->capacity = reader->read_size + kChunkBufferSize + 1;
  reader->buffer.reset(new char[reader->capacity]);
  reader->begin = reader->end = reader->filled = 0;
  reader->at_eof = false;
  reader->read_error = false;
  reader->on_read = nullptr;
}

void InitChunkReaderFromBytes(ChunkReader* reader,
                              std::unique_ptr<char[]> bytes, size_t size,
                              LineEnds line_ends) {
  reader->file = nullptr;
  reader->read_size = 1;
  reader->line_ends = line_ends;
  reader->buffer = std::move(bytes);
  reader->capacity = size;
  reader->begin = reader->end = 0;
  reader->filled = size;
  reader->at_eof = true;
  reader->read_error = false;
  reader->on_read = nullptr;
  SettleOrKeep(reader);
}

void InitChunkReaderAfter(ChunkReader* reader, FILE* file,
                          std::string_view first, LineEnds line_ends,
                          size_t read_size) {
  InitChunkReader(reader, file, line_ends, read_size);
  if (first.size() + reader->read_size > reader->capacity) {
    reader->capacity = first.size() + reader->read_size;
    reader->buffer.reset(new char[reader->capacity]);
  }
  std::memcpy(reader->buffer.get(), first.data(), first.size());
  reader->filled = first.size();
  SettleOrKeep(reader);
}

bool ReadChunk(ChunkReader* reader, std::string_view* chunk) {
  while (!CutChunk(reader, chunk)) {
    if (reader->at_eof) return false;
    Refill(reader);
  }
  return true;
}

bool PeekBytes(ChunkReader* reader, size_t want, std::string_view* bytes) {
  while (reader->end - reader->begin < want && !reader->at_eof) {
    Refill(reader);
  }
  *bytes = std::string_view(reader->buffer.get() + reader->begin,
                            reader->end - reader->begin);
  return reader->at_eof;
}

size_t ReadChunks(ChunkReader* reader, std::string_view* chunks, size_t max) {
  if (max == 0 || !ReadChunk(reader, &chunks[0])) return 0;
  size_t count = 1;
  while (count < max && CutChunk(reader, &chunks[count])) ++count;
  return count;
}
