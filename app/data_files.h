// Which files are data and which are the tool's own: the extension rule,
// the temporary files ("_tmp"), the dehashed copies, and the folder paths a
// walk starts from.
#ifndef QUORVANTIDE_APP_DATA_FILES_H_
#define QUORVANTIDE_APP_DATA_FILES_H_

#include <string>
#include <string_view>

// What a file written afresh is called until it is complete.
constexpr std::string_view kTemporarySuffix = "_tmp";

// Up to four bytes from the path's last '.'; empty when the path is shorter
// than six bytes or holds no '.'.
std::string_view PathExtension(std::string_view path);

// Whether `extension` is exactly ".xml", ".ymt", ".XML" or ".YMT".
bool IsDataFileExtension(std::string_view extension);

// Whether a file of this name, found in a folder, is a data file to
// process: its extension is accepted (as for a file argument, and lying in
// the name itself), and it is none of the tool's own files: not a
// temporary file (ending in "_tmp") nor a dehashed copy ("_dehashed" right
// before its last four characters).
bool IsWalkedDataFile(std::string_view name);

// `path` with "_dehashed" inserted before its last four bytes: the copy
// beside the data file.
std::string DehashedPath(const std::string& path);

// `folder` without the separators at its end, but for a lone "/": the
// paths of the files a walk finds start with it and a separator.
std::string WalkRoot(const std::string& folder);

#endif  // QUORVANTIDE_APP_DATA_FILES_H_
