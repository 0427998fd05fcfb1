#include "names/hash_name_map.h"

#include <string_view>

#include "common/chunk_reader.h"
#include "common/platform.h"
#include "common/print_message.h"
#include "names/name_hash.h"

NameTable HashNameMap;

namespace {

template <typename HashFunction>
void LoadNames(FILE* file, HashFunction hash, NameTable* table) {
  ChunkReader reader;
  InitChunkReader(&reader, file);
  std::string_view chunk;
  while (ReadChunk(&reader, &chunk)) {
    if (chunk.back() == '\n') chunk.remove_suffix(1);
    // An empty name would map hash 0 to nothing and erase every
    // "0x00000000" from the output.
    if (chunk.empty()) continue;
    InsertName(table, hash(chunk), chunk);
  }
}

}  // namespace

void LoadHashNameMap(FILE* member_names, NameTable* table) {
  LoadNames(member_names, NameHash, table);
  FILE* archive_items = OpenForReading("ArchiveItems.txt");
  if (archive_items == nullptr) {
    PrintMessage(
        "WARNING: Could not find ArchiveItems.txt, only member names will be "
        "unhashed\n");
    return;
  }
  LoadNames(archive_items, ArchiveItemHash, table);
  std::fclose(archive_items);
}
