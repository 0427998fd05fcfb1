// Reads a text file in the short chunks that every pass of the tool works on.
#ifndef QUORVANTIDE_COMMON_CHUNK_READER_H_
#define QUORVANTIDE_COMMON_CHUNK_READER_H_

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

// A chunk holds at most kChunkBufferSize - 1 bytes: what a line read into a
// buffer of this size, its terminating NUL included, can hold.
constexpr size_t kChunkBufferSize = 100;
constexpr size_t kMaxChunkLength = kChunkBufferSize - 1;

// Bytes asked of the file per read. The chunks never depend on it; tests
// shrink it to prove that.
constexpr size_t kDefaultReadSize = size_t{1} << 20;

// What a chunk holds of a CR LF line end: the LF alone, as text mode reads
// it, or the file's own two bytes.
enum class LineEnds { kSettle, kKeep };

// The state of one input file. Fill it with InitChunkReader; the file stays
// the caller's to close.
struct ChunkReader {
  FILE* file = nullptr;
  size_t read_size = 0;
  LineEnds line_ends = LineEnds::kSettle;
  std::unique_ptr<char[]> buffer;
  size_t capacity = 0;  // of the buffer; it grows only for PeekBytes
  size_t begin = 0;     // first byte not yet handed out
  size_t end = 0;       // end of the bytes whose line ends are settled
  size_t filled = 0;    // end of the bytes read; [end, filled) is at most a CR
  bool at_eof = false;
  bool read_error = false;
  // When set, called after each read with the offset where the bytes new
  // to it begin: it may rewrite the settled bytes from there on, and hold
  // some back out of `end`, as long as the offsets above stay true.
  void (*on_read)(ChunkReader* reader, size_t from) = nullptr;
};

// Prepares `reader` to read `file`, which must be open in binary mode.
void InitChunkReader(ChunkReader* reader, FILE* file,
                     LineEnds line_ends = LineEnds::kSettle,
                     size_t read_size = kDefaultReadSize);

// Prepares `reader` to read the first `size` bytes of `bytes`, which it
// takes over, as a whole input: nothing more comes from any file. Its
// buffer can be taken back once it is read.
void InitChunkReaderFromBytes(ChunkReader* reader,
                              std::unique_ptr<char[]> bytes, size_t size,
                              LineEnds line_ends = LineEnds::kSettle);

// Prepares `reader` as InitChunkReader does, for an input that starts with
// `first`, bytes already taken from `file`, and goes on with the rest of
// `file`.
void InitChunkReaderAfter(ChunkReader* reader, FILE* file,
                          std::string_view first,
                          LineEnds line_ends = LineEnds::kSettle,
                          size_t read_size = kDefaultReadSize);

// Sets *chunk to the next chunk of the input: the characters up to and
// including the next line feed, or the next kMaxChunkLength characters, or
// the rest of the input, whichever is shortest. A CR LF pair counts as one
// line feed, also across a chunk or read boundary, and is handed out as LF
// or, with LineEnds::kKeep, as CR LF; a lone CR and every other byte, NUL
// included, are kept. The view stays valid until the next call. Returns
// false once the input is exhausted or a read failed; reader->read_error
// tells which.
bool ReadChunk(ChunkReader* reader, std::string_view* chunk);

// Reads up to `max` chunks into `chunks` at once, as many calls of ReadChunk
// would, and returns how many; 0 means the input is exhausted or a read
// failed. The chunks lie one after another in one buffer, and all the views
// stay valid until the next call, so that a caller can look ahead over them.
size_t ReadChunks(ChunkReader* reader, std::string_view* chunks, size_t max);

// The same input read by stretches of any length rather than by chunks:
// sets *bytes to every byte not yet consumed whose line end is known (CR LF
// as for ReadChunk), reading more first while there are fewer than `want`.
// The view stays valid until the next call. Returns whether it holds all
// that is left of the input (also after a read failed; see read_error).
// Memory grows with `want` only.
bool PeekBytes(ChunkReader* reader, size_t want, std::string_view* bytes);

// Marks the first `count` bytes of the last view as consumed.
inline void ConsumeBytes(ChunkReader* reader, size_t count) {
  reader->begin += count;
}

#endif  // QUORVANTIDE_COMMON_CHUNK_READER_H_
