// The default dehash pass: by pieces of at most 99 characters, with the
// limits that stored files were made with.
#ifndef QUORVANTIDE_PASSES_DEFAULT_DEHASH_H_
#define QUORVANTIDE_PASSES_DEFAULT_DEHASH_H_

#include <string>
#include <string_view>

#include "common/chunk_reader.h"
#include "common/output_file.h"
#include "names/name_table.h"

// The longest a chunk can grow: each of its three resolved tokens may give
// way to a name of up to a chunk's length.
constexpr size_t kMaxDehashedChunk = 4 * kChunkBufferSize;

// Rewrites one chunk: the first two member tokens ("UNK_MEMBER_0x...") and
// then the first value token (after ">0x") whose hashes `names` knows get
// their names, each search starting at the chunk's start; the first member
// token that stays unresolved ends the member search. A token that runs to
// the end of a chunk of kMaxChunkLength bytes without a line feed may be cut
// short, and stays unresolved. Returns `chunk` itself
// when nothing changed, else a view of *scratch.
std::string_view DehashChunk(const NameTable& names, std::string_view chunk,
                             std::string* scratch);

// Writes every chunk of `in`, dehashed, to `out`. `in` settles its line
// ends (LineEnds::kSettle), as every pass that dehashes reads.
void DehashStream(const NameTable& names, ChunkReader* in, OutputFile* out);

#endif  // QUORVANTIDE_PASSES_DEFAULT_DEHASH_H_
