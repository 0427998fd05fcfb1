// The name hunt's ends in the run: the words of other files, and the report
// of the names found.
#ifndef QUORVANTIDE_APP_HUNT_REPORT_H_
#define QUORVANTIDE_APP_HUNT_REPORT_H_

#include <string>
#include <vector>

#include "names/name_hunt.h"
#include "passes/pass_mode.h"

// Adds the words of the files at `paths` to hunt->other_words, and their
// parts to the vocabulary: a file as it is, a folder as every regular file
// beneath it. Reports each file it cannot
// open or read, and goes on.
void ReadWordsFrom(const std::vector<std::string>& paths, NameHunt* hunt);

// Tries the run's words, the files' variants and then the vocabulary's
// parts alone and in pairs against the hashes it left unnamed, each round
// against those that no earlier one named, while the budget lasts; then
// writes to
// `path` a line for each of those that got a name,
// "0x%08X<TAB>name<TAB>list<TAB>count<TAB>first file<TAB>source", the most
// frequent first, then by hash (as WriteReportFile writes), and prints how
// many got one and how many chance matches to expect among them, and
// whether the budget ended the search.
void FinishHunt(const std::string& path, const UnknownHashes& unknown,
                NameHunt* hunt);

#endif  // QUORVANTIDE_APP_HUNT_REPORT_H_
