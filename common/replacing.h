// Putting a file written afresh in the place of another, and removing the
// tool's own files.
#ifndef QUORVANTIDE_COMMON_REPLACING_H_
#define QUORVANTIDE_COMMON_REPLACING_H_

#include <string>

// Removes the file at `path`, one that the tool made itself. Returns false
// on failure. On Windows, while another program holds the file for a moment
// (see RenameOver), it is tried again.
bool RemoveFile(const std::string& path);

// Puts the file at `from` in the place of the one at `to` in one atomic step,
// replacing it, and forces that change of the folder onto the disk. Returns
// false, with both files as they were, on failure. On Linux the replaced
// file is freed on a thread of its own, which the caller need not wait for.
// On Windows, where a virus scanner or an indexer may hold either file for
// a moment without letting it be deleted, the move is tried again for about
// two seconds before it fails.
// A copy that can be made again need not be `durable`: then the folder is
// not forced to disk.
bool RenameOver(const std::string& from, const std::string& to,
                bool durable = true);

#endif  // QUORVANTIDE_COMMON_REPLACING_H_
