// The process's one dictionary of known names, and its loading from the word
// lists.
#ifndef QUORVANTIDE_NAMES_HASH_NAME_MAP_H_
#define QUORVANTIDE_NAMES_HASH_NAME_MAP_H_

#include <cstdio>

#include "names/name_table.h"

// Filled once by main before the first data file, read-only afterwards.
extern NameTable HashNameMap;

// Opens "ArchiveItems.txt" in the working directory in binary mode. Prints
// a warning and returns null when it cannot.
FILE* OpenArchiveItems();

// Adds every name of the open "MemberNames.txt" stream under its
// member-name hash, then every name of the "ArchiveItems.txt" stream (none
// when null) under its archive-item hash, first name winning. Each chunk of
// a list, without its line feed, is one name; empty names are skipped.
// Prints nothing; the streams stay open.
void LoadNameLists(FILE* member_names, FILE* archive_items, NameTable* table);

// OpenArchiveItems and LoadNameLists in one.
void LoadHashNameMap(FILE* member_names, NameTable* table);

#endif  // QUORVANTIDE_NAMES_HASH_NAME_MAP_H_
