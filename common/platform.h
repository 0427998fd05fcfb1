// The few file operations that differ between Windows and POSIX systems.
#ifndef QUORVANTIDE_COMMON_PLATFORM_H_
#define QUORVANTIDE_COMMON_PLATFORM_H_

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// Opens an existing regular file for reading in binary mode, following
// links. Returns null if it cannot be opened or is anything else: a
// directory, a FIFO, a device (on Windows: anything but a disk file, such as
// "NUL.xml"); such a file is refused without being read.
FILE* OpenForReading(const std::string& path);

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
// it. Only a best effort: what the process may not set stays as it is.
void CopyOwnerAndPermissions(FILE* from, FILE* to);

// The size in bytes of the open file, or -1 if it has none (a pipe, say).
long long FileSize(FILE* file);

// Allocates `bytes` for a large array that is read at random. On Linux it
// asks for transparent huge pages, which make both the first touch and
// random lookups cheaper. Returns null on failure; free with FreeLarge.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* memory);

// Starts writing what was written to `file` onto the disk in the
// background, so that a later SyncToDisk has less to wait for. Only a hint.
void StartWriteback(FILE* file);

// Flushes `file` and forces its bytes onto the disk. Returns false on failure.
bool SyncToDisk(FILE* file);

// Puts the file at `from` in the place of the one at `to` in one atomic step,
// replacing it, and forces that change of the folder onto the disk. Returns
// false, with both files as they were, on failure.
bool RenameOver(const std::string& from, const std::string& to);

#endif  // QUORVANTIDE_COMMON_PLATFORM_H_
