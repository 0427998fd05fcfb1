// Opening, creating and forcing to disk the files the tool reads and writes.
#ifndef QUORVANTIDE_COMMON_FILES_H_
#define QUORVANTIDE_COMMON_FILES_H_

#include <cstdio>
#include <string>
#include <string_view>

// Opens an existing regular file for reading in binary mode, following
// links. Returns null if it cannot be opened or is anything else: a
// directory, a FIFO, a device (on Windows: anything but a disk file, such as
// "NUL.xml"); such a file is refused without being read.
FILE* OpenForReading(const std::string& path);

// Whether a regular file stands at `path`, following links: whether a path
// that OpenForReading failed on names a file that is there all the same.
bool IsRegularFile(const std::string& path);

// Closes a stream that was only read. What the close returns is ignored on
// purpose: nothing was written, so nothing can have been lost.
inline void CloseInput(FILE* file) { static_cast<void>(std::fclose(file)); }

// The line end of a text file written on this platform. Every file is
// written in binary mode, and the tool puts in line ends itself, so that a
// failed write is never hidden by the C library's text-mode translation.
#ifdef _WIN32
constexpr std::string_view kTextLineEnd = "\r\n";
#else
constexpr std::string_view kTextLineEnd = "\n";
#endif

// Creates a new file at `path` for writing in binary mode. A file or a link
// that stood at the path before goes as a name, never opened; the create
// itself is exclusive and follows no link, so the file written is always
// one made here. Returns null on failure, such as when a folder or a device
// stands at the path.
FILE* CreateNewFile(const std::string& path);

// Gives `to` the owner, group and permission bits of `from`, so that a file
// written to replace another keeps whose it is and who may read and write
// it. The owner is a best effort (only root may give a file away); returns
// false if the permission bits could not be read or set, since the file
// might then let others read what the one it replaces did not.
bool CopyOwnerAndPermissions(FILE* from, FILE* to);

// The size in bytes of the open file, or -1 if it has none (a pipe, say).
long long FileSize(FILE* file);

// Flushes `file` and starts writing it onto the disk in the background, so
// that a later SyncToDisk has less to wait for (only a hint). Returns false
// if the flush failed.
bool StartWriteback(FILE* file);

// Flushes `file` and forces its bytes onto the disk. Returns false on failure.
bool SyncToDisk(FILE* file);

#endif  // QUORVANTIDE_COMMON_FILES_H_
