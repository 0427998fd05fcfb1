#include "names/hash_name_map.h"

#include <cstring>
#include <mutex>
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

// Shows the counting thread, if one counts, the arena up to `size`, or all
// of it when `all`.
void ShowArena(ListLoad* load, size_t size, bool all) {
  if (load == nullptr) return;
  std::lock_guard<std::mutex> lock(load->share.mutex);
  if (!load->share.counting || (load->share.holding && !all)) return;
  load->share.shown = size;
  load->share.all_shown = all;
  load->share.changed.notify_all();
}

// Adds `bytes` of whole entries to the arena. Where that moves it, the
// counting thread is first parked until every name is read.
void AppendEntries(std::string_view bytes, NameTable* table, ListLoad* load) {
  if (load != nullptr &&
      table->arena.size() + bytes.size() > table->arena.capacity()) {
    std::unique_lock<std::mutex> lock(load->share.mutex);
    load->share.holding = true;
    load->share.changed.notify_all();
    load->share.changed.wait(
        lock, [load] { return !load->share.counting || load->share.parked; });
  }
  table->arena.append(bytes.data(), bytes.size());
  ShowArena(load, table->arena.size(), false);
}

// Counts the names the loader shows, as it shows them, until it has shown
// them all; reads the arena only between its showings and its moves.
void CountWhileLoading(void* argument) {
  auto* load = static_cast<ListLoad*>(argument);
  ListLoad::Share& share = load->share;
  size_t counted = 0;
  std::unique_lock<std::mutex> lock(share.mutex);
  for (;;) {
    share.changed.wait(lock, [&] {
      return share.shown > counted || share.all_shown || share.holding;
    });
    if (share.holding && !share.all_shown) {
      share.parked = true;
      share.changed.notify_all();
      share.changed.wait(lock, [&] { return share.all_shown; });
    }
    const char* arena = load->table->arena.data();
    const size_t shown = share.shown;
    const bool all = share.all_shown;
    lock.unlock();
    CountNameEntries(std::string_view(arena + counted, shown - counted),
                     load->vocabulary);
    counted = shown;
    if (all) return;
    lock.lock();
  }
}

// Appends every name of `file` to the arena, in file order, as AppendName
// would, and adds how many there were to *count; shows them to the counting
// thread of `load` when given. Returns false if a read failed: a list cut
// short by an error must not pass for a whole one.
bool AppendNames(FILE* file, NameTable* table, size_t* count, ListLoad* load) {
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
      AppendEntries(std::string_view(staging, staged), table, load);
      staged = 0;
    }
    staging[staged] = static_cast<char>(chunk.size());
    std::memcpy(staging + staged + 1, chunk.data(), chunk.size());
    staged += 1 + chunk.size();
    ++*count;
  }
  AppendEntries(std::string_view(staging, staged), table, load);
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

// LoadNameLists, showing the names to the counting thread of `load` when
// given, as they are read.
bool LoadLists(FILE* member_names, FILE* archive_items, NameTable* table,
               const char** unread, ListLoad* load) {
  // The names go into the arena in one sequential sweep; the slots are then
  // sized once and filled in list order. No list is held twice in memory.
  table->arena.reserve(table->arena.size() + ArenaBytesFor(member_names) +
                       (archive_items ? ArenaBytesFor(archive_items) : 0));
  const size_t members_begin = table->arena.size();
  size_t count = 0;
  bool read = AppendNames(member_names, table, &count, load);
  if (!read) *unread = "MemberNames.txt";
  const size_t items_begin = table->arena.size();
  if (read && archive_items != nullptr &&
      !AppendNames(archive_items, table, &count, load)) {
    *unread = "ArchiveItems.txt";
    read = false;
  }
  // The placing leaves the arena as it is.
  ShowArena(load, table->arena.size(), true);
  if (!read) return false;
  ReserveSlots(table, table->count + count);
  PlaceNames(table, members_begin, items_begin, NameHash);
  PlaceNames(table, items_begin, table->arena.size(), ArchiveItemHash);
  return true;
}

}  // namespace

bool LoadNameLists(FILE* member_names, FILE* archive_items, NameTable* table,
                   const char** unread) {
  return LoadLists(member_names, archive_items, table, unread, nullptr);
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
        // The parts of the names are counted on a thread of their own as
        // the names are read, beside the reading and the placing, and then
        // the passes that read the names; or, where no thread can be made,
        // here once they are placed.
        if (self->vocabulary != nullptr) {
          const bool counting =
              StartThread(&self->count, CountWhileLoading, self);
          std::lock_guard<std::mutex> lock(self->share.mutex);
          self->share.counting = counting;
        }
        self->read = LoadLists(self->lists[0], self->lists[1], self->table,
                               &self->unread, self);
        if (self->read && self->vocabulary != nullptr &&
            !self->share.counting) {
          CountTableParts(*self->table, self->vocabulary);
        }
        for (FILE* list : self->lists) {
          if (list != nullptr) CloseInput(list);
        }
      },
      load);
}

bool FinishListLoad(ListLoad* load) {
  FinishBackground(&load->task);
  if (!load->read) FinishBackground(&load->count);
  return load->read;
}

void FinishVocabularyCount(ListLoad* load) {
  FinishListLoad(load);
  FinishBackground(&load->count);
}
