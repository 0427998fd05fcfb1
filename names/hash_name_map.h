// The process's one dictionary of known names, and its loading from the word
// lists.
#ifndef QUORVANTIDE_NAMES_HASH_NAME_MAP_H_
#define QUORVANTIDE_NAMES_HASH_NAME_MAP_H_

#include <cstdio>

#include "names/name_table.h"

// Filled once by main before the first data file, read-only afterwards.
extern NameTable HashNameMap;

// Adds every name of the open "MemberNames.txt" stream (binary mode) under
// its member-name hash, then every name of "ArchiveItems.txt" in the working
// directory under its archive-item hash, first name winning. Each chunk of a
// list, without its line feed, is one name; empty names are skipped. Prints a
// warning if "ArchiveItems.txt" cannot be opened. The stream stays open.
void LoadHashNameMap(FILE* member_names, NameTable* table);

#endif  // QUORVANTIDE_NAMES_HASH_NAME_MAP_H_
