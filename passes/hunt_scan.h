// Reads files for the name hunt: the words of any file, and of a data file
// also its hashes, known and unknown.
#ifndef QUORVANTIDE_PASSES_HUNT_SCAN_H_
#define QUORVANTIDE_PASSES_HUNT_SCAN_H_

#include <cstdio>
#include <string>

#include "names/name_hunt.h"
#include "names/name_table.h"

// Reads the data file at `path` (its repaired text, as the complete pass
// reads it): its words go into hunt->data_words; the variants of the names
// that its known hashes stand for and of its words are tried against its
// own hashes that `names` does not know, and what matches is kept in
// hunt->finds. With `repair`, its text is read repaired, as its copy was
// made (see RepairOnRead). Returns false if it could not be opened or read.
bool HuntDataFile(const std::string& path, const NameTable& names,
                  NameHunt* hunt, bool repair = false);

// Adds the words of `file`, open in binary mode and of any bytes, to
// *words, each once. Returns false if a read failed.
bool CollectWords(FILE* file, NameTable* words);

#endif  // QUORVANTIDE_PASSES_HUNT_SCAN_H_
