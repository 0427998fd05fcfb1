// Helpers shared by the fuzz targets: in-memory streams and the reader's view
// of an input.
#ifndef QUORVANTIDE_FUZZ_FUZZ_SUPPORT_H_
#define QUORVANTIDE_FUZZ_FUZZ_SUPPORT_H_

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/chunk_reader.h"

// A stream that reads `bytes`, which must outlive it.
inline FILE* OpenBytes(const std::string& bytes) {
  if (bytes.empty()) return std::fopen("/dev/null", "rb");
  return fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
}

// Every chunk of `bytes`, read through reads of `read_size` bytes; a read
// size beyond the input's reads it at once, as a large buffer would, without
// the cost of allocating one per run.
inline std::vector<std::string> ChunksOf(const std::string& bytes,
                                         size_t read_size) {
  FILE* file = OpenBytes(bytes);
  if (file == nullptr) std::abort();
  ChunkReader reader;
  InitChunkReader(&reader, file, LineEnds::kSettle, read_size);
  std::vector<std::string> chunks;
  std::string_view chunk;
  while (ReadChunk(&reader, &chunk)) chunks.emplace_back(chunk);
  if (reader.read_error) std::abort();
  std::fclose(file);
  return chunks;
}

// `bytes` as the reader settles them: each CR LF becomes LF.
inline std::string Settled(const std::string& bytes) {
  std::string settled;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      continue;
    }
    settled += bytes[i];
  }
  return settled;
}

// Fails the run, so that libFuzzer saves the input.
#define FUZZ_CHECK(condition)                                               \
  do {                                                                      \
    if (!(condition)) {                                                     \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                             \
      std::abort();                                                         \
    }                                                                       \
  } while (0)

#endif  // QUORVANTIDE_FUZZ_FUZZ_SUPPORT_H_
