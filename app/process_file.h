// The run's steps for one command-line argument, and the closing prompt.
#ifndef QUORVANTIDE_APP_PROCESS_FILE_H_
#define QUORVANTIDE_APP_PROCESS_FILE_H_

#include <string>
#include <string_view>

#include "common/platform.h"
#include "names/hash_name_map.h"
#include "names/name_hunt.h"
#include "names/name_table.h"
#include "passes/pass_mode.h"

// Up to four bytes from the path's last '.'; empty when the path is shorter
// than six bytes or holds no '.'.
std::string_view PathExtension(std::string_view path);

// Whether `extension` is exactly ".xml", ".ymt", ".XML" or ".YMT".
bool IsDataFileExtension(std::string_view extension);

// Processes one argument: a data file is repaired in place and gets its
// dehashed copy, both read the way `mode` says; anything else is reported
// and left alone. In complete mode a written copy is followed by a line
// that counts the hashes named, and the hashes left unnamed are added to
// *unknown when it is given, and when `hunt` is given the file is read once
// more for the hunt (see HuntDataFile). Only the dehash pass and the hunt
// read `names`: when `loading` is given, it is the load that fills them,
// waited for then. Returns false, with no copy made, if that load failed:
// the run must end.
bool ProcessFile(const std::string& path, const NameTable& names,
                 PassMode mode = PassMode::kDefault,
                 UnknownHashes* unknown = nullptr, ListLoad* loading = nullptr,
                 NameHunt* hunt = nullptr);

// Prints `message` and the exit prompt, then waits for one character.
void WaitForEnter(const char* message);

#endif  // QUORVANTIDE_APP_PROCESS_FILE_H_
