// The process's one dictionary of known names, and its loading from the word
// lists.
#ifndef QUORVANTIDE_NAMES_HASH_NAME_MAP_H_
#define QUORVANTIDE_NAMES_HASH_NAME_MAP_H_

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>

#include "common/background.h"
#include "names/name_table.h"
#include "names/vocabulary.h"

// Filled once by main before the first data file, read-only afterwards.
extern NameTable HashNameMap;

// The names of the two word lists.
constexpr char kMemberNamesFile[] = "MemberNames.txt";
constexpr char kArchiveItemsFile[] = "ArchiveItems.txt";

// The path of the word list `name` in `folder`: the bare name, in the
// working directory, when `folder` is empty.
std::string WordListPath(const std::string& folder, const char* name);

// Opens "ArchiveItems.txt" in `folder` (see WordListPath) in binary mode into
// *archive_items. When there is no such file to open, prints a warning and
// sets null: the list is optional. Returns false, with nothing printed,
// when the file is there but cannot be opened: its names would be missing
// unnoticed.
bool OpenArchiveItems(FILE** archive_items, const std::string& folder = "");

// Adds every name of the open "MemberNames.txt" stream under its
// member-name hash, then every name of the "ArchiveItems.txt" stream (none
// when null) under its archive-item hash, first name winning. Each chunk of
// a list, without its line feed, is one name; empty names are skipped.
// Prints nothing; the streams stay open. Returns false, with *unread set to
// the list's file name, when a list could not be read to its end: the
// table then holds only some of the names, and no copy should be made with
// it.
bool LoadNameLists(FILE* member_names, FILE* archive_items, NameTable* table,
                   const char** unread);

// OpenArchiveItems and LoadNameLists in one; a list that is there but cannot
// be opened is one that could not be read.
bool LoadHashNameMap(FILE* member_names, NameTable* table, const char** unread);

// The word lists loading on a thread of their own, beside a data file's
// first passes, which need no names.
struct ListLoad {
  FILE* lists[2] = {nullptr, nullptr};  // members, archive items (or null)
  NameTable* table = nullptr;
  // When set, the parts of the names are counted into it as they are read,
  // on a thread that the loading thread starts; the vocabulary is that
  // thread's until FinishVocabularyCount.
  Vocabulary* vocabulary = nullptr;
  BackgroundTask count;
  // What the loading and the counting thread share, guarded by `mutex`:
  // whether a thread counts, how much of the arena holds names to count
  // (`shown`), whether that is all of them, and whether the loader waits
  // to move the arena (`holding`) until the counter reads none of it
  // (`parked`).
  struct Share {
    std::mutex mutex;
    std::condition_variable changed;
    bool counting = false;
    size_t shown = 0;
    bool all_shown = false;
    bool holding = false;
    bool parked = false;
  } share;
  // Written by the loading thread only; read only once FinishListLoad has
  // waited for it.
  const char* unread = nullptr;
  bool read = true;
  BackgroundTask task;
};

// Starts loading the two open lists into *table, as LoadNameLists does, and
// counting their parts into load->vocabulary when set; the load closes the
// lists when it is done.
void StartListLoad(FILE* member_names, FILE* archive_items, NameTable* table,
                   ListLoad* load);

// Waits for the load (at once when it is done). Returns false, with
// load->unread naming the list, when a list could not be read; the count
// of its vocabulary is then over too.
bool FinishListLoad(ListLoad* load);

// Waits for the load and for the count of its vocabulary.
void FinishVocabularyCount(ListLoad* load);

#endif  // QUORVANTIDE_NAMES_HASH_NAME_MAP_H_
