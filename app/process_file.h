// The run's steps for one command-line argument, and the closing prompt.
#ifndef QUORVANTIDE_APP_PROCESS_FILE_H_
#define QUORVANTIDE_APP_PROCESS_FILE_H_

#include <string>
#include <string_view>

#include "names/name_table.h"

// Up to four bytes from the path's last '.'; empty when the path is shorter
// than six bytes or holds no '.'.
std::string_view PathExtension(std::string_view path);

// Whether `extension` is exactly ".xml", ".ymt", ".XML" or ".YMT".
bool IsDataFileExtension(std::string_view extension);

// Processes one argument: a data file is repaired in place and gets its
// dehashed copy; anything else is reported and left alone.
void ProcessFile(const std::string& path, const NameTable& names);

// Prints `message` and the exit prompt, then waits for one character.
void WaitForEnter(const char* message);

#endif  // QUORVANTIDE_APP_PROCESS_FILE_H_
