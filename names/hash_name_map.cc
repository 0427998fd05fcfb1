#include "names/hash_name_map.h"

#include <cstring>
#include <string_view>

#include "common/background.h"
#include "common/chunk_reader.h"
#include "common/files.h"
#include "common/folders.h"
#include "common/print_message.h"
#include "names/name_hash.h"

NameTable HashNameMap;

namespace {

// The lists load beside a data file's first pass, which has a read buffer
// of its own: smaller reads keep the two within the memory of one.
constexpr size_t kListReadSize = size_t{1} << 16;

// Appends every name of `file` to the arena, in file order, as AppendName
// would, and adds how many there were to *count. Returns false if a read
// failed: a list cut short by an error must not pass for a whole one.
bool AppendNames(FILE* file, NameTable* table, size_t* count) {
  static_assert(kMaxChunkLength <= kMaxNameLength, "a chunk is never too long");
  ChunkReader reader;
  InitChunkReader(&reader, file, LineEnds::kSettle, kListReadSize);
  // The entries gather here and go into the arena a block at a time: an
  // append of its own for each name costs more than the name's copy.
  char staging[size_t{1} << 14];
  size_t staged = 0;
  std::string_view chunk;
  while (ReadChunk(&reader, &chunk)) {
    if (chunk.back() == '\n') chunk.remove_suffix(1);
    // An empty name would map hash 0 to nothing and erase every
    // "0x00000000" from the output.
    if (chunk.empty() ||
        table->arena.size() + staged + 1 + chunk.size() > kMaxArenaSize) {
      continue;
    }
    if (staged + 1 + chunk.size() > sizeof(staging)) {
      table->arena.append(staging, staged);
      staged = 0;
    }
    staging[staged] = static_cast<char>(chunk.size());
    std::memcpy(staging + staged + 1, chunk.data(), chunk.size());
    staged += 1 + chunk.size();
    ++*count;
  }
  table->arena.append(staging, staged);
  return !reader.read_error;
}

// Places the names stored in the arena between `begin` and `end` under
// their hashes, in arena order. The slots are hit at random, so each name is
// hashed and its slot fetched a few names ahead of its placing: the cache
// misses overlap instead of coming one after another.
template <typename HashFunction>
void PlaceNames(NameTable* table, size_t begin, size_t end, HashFunction hash) {
  constexpr size_t kAhead = 16;
  uint32_t hashes[kAhead];
  size_t ahead = begin, hashed = 0, placed = 0;
  for (size_t at = begin; at < end; ++placed) {
    while (hashed < placed + kAhead && ahead < end) {
      std::string_view name = NameAt(*table, static_cast<uint32_t>(ahead));
      const uint32_t name_hash = hash(name);
      PrefetchSlot(*table, name_hash);
      hashes[hashed++ % kAhead] = name_hash;
      ahead += 1 + name.size();
    }
    PlaceName(table, hashes[placed % kAhead], static_cast<uint32_t>(at));
    at += 1 + static_cast<unsigned char>(table->arena[at]);
  }
}

// Room for the names of a list: its bytes, plus a length byte for each
// piece of a long line that has no line feed to stand in for it.
size_t ArenaBytesFor(FILE* file) {
  long long size = FileSize(file);
  return size > 0 ? static_cast<size_t>(size + size / 64) : 0;
}

}  // namespace

std::string WordListPath(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '/' || last == kPathSeparator ? folder + name
                                               : folder + kPathSeparator + name;
}

bool OpenArchiveItems(FILE** archive_items, const std::string& folder) {
  const std::string path = WordListPath(folder, kArchiveItemsFile);
  *archive_items = OpenForReading(path);
  if (*archive_items != nullptr) return true;
  if (IsRegularFile(path)) return false;
  PrintMessage(
      "WARNING: Could not find ArchiveItems.txt, only member names will be "
      "unhashed\n");
  return true;
}

namespace {

// LoadNameLists, calling appended(argument), when given, once every name
// is in the arena: placing them leaves the arena as it is, so another
// thread may read it from then on.
bool LoadLists(FILE* member_names, FILE* archive_items, NameTable* table,
               const char** unread, void (*appended)(void* argument),
               void* argument) {
  // The names go into the arena in one sequential sweep; the slots are then
  // sized once and filled in list order. No list is held twice in memory.
  table->arena.reserve(table->arena.size() + ArenaBytesFor(member_names) +
                       (archive_items ? ArenaBytesFor(archive_items) : 0));
  const size_t members_begin = table->arena.size();
  size_t count = 0;
  if (!AppendNames(member_names, table, &count)) {
    *unread = "MemberNames.txt";
    return false;
  }
  const size_t items_begin = table->arena.size();
  if (archive_items != nullptr && !AppendNames(archive_items, table, &count)) {
    *unread = "ArchiveItems.txt";
    return false;
  }
  if (appended != nullptr) appended(argument);
  ReserveSlots(table, table->count + count);
  PlaceNames(table, members_begin, items_begin, NameHash);
  PlaceNames(table, items_begin, table->arena.size(), ArchiveItemHash);
  return true;
}

}  // namespace

bool LoadNameLists(FILE* member_names, FILE* archive_items, NameTable* table,
                   const char** unread) {
  return LoadLists(member_names, archive_items, table, unread, nullptr,
                   nullptr);
}

bool LoadHashNameMap(FILE* member_names, NameTable* table,
                     const char** unread) {
  FILE* archive_items = nullptr;
  if (!OpenArchiveItems(&archive_items)) {
    *unread = "ArchiveItems.txt";
    return false;
  }
  const bool read = LoadNameLists(member_names, archive_items, table, unread);
  if (archive_items != nullptr) CloseInput(archive_items);
  return read;
}

void StartListLoad(FILE* member_names, FILE* archive_items, NameTable* table,
                   ListLoad* load) {
  load->lists[0] = member_names;
  load->lists[1] = archive_items;
  load->table = table;
  StartBackground(
      &load->task,
      [](void* argument) {
        auto* self = static_cast<ListLoad*>(argument);
        // The arena is read-only once it holds every name: its parts are
        // counted on a thread of their own, beside the placing of the names
        // and then the passes that read them.
        auto count = [](void* argument) {
          auto* load = static_cast<ListLoad*>(argument);
          if (load->vocabulary == nullptr) return;
          StartBackground(
              &load->count,
              [](void* argument) {
                auto* load = static_cast<ListLoad*>(argument);
                CountTableParts(*load->table, load->vocabulary);
              },
              load);
        };
        self->read = LoadLists(self->lists[0], self->lists[1], self->table,
                               &self->unread, count, self);
        for (FILE* list : self->lists) {
          if (list != nullptr) CloseInput(list);
        }
      },
      load);
}

bool FinishListLoad(ListLoad* load) {
  FinishBackground(&load->task);
  return load->read;
}

void FinishVocabularyCount(ListLoad* load) {
  FinishListLoad(load);
  FinishBackground(&load->count);
}
