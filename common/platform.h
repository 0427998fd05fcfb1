// The few file operations that differ between Windows and POSIX systems.
#ifndef QUORVANTIDE_COMMON_PLATFORM_H_
#define QUORVANTIDE_COMMON_PLATFORM_H_

#include <cstddef>
#include <cstdio>
#include <string>

// Opens an existing file for reading in binary mode. Returns null if it
// cannot be opened or is a directory.
FILE* OpenForReading(const std::string& path);

// Creates or truncates a file for writing: in text mode, so that each line
// feed is written as the platform's line end, or in binary mode, byte for
// byte. Returns null on failure.
FILE* OpenForWriting(const std::string& path, bool binary);

// Gives `to` the permission bits of `from`, so that a file written to
// replace another keeps who may read and write it. Only a best effort.
void CopyPermissions(FILE* from, FILE* to);

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
// replacing it. Returns false, with both files as they were, on failure.
bool RenameOver(const std::string& from, const std::string& to);

#endif  // QUORVANTIDE_COMMON_PLATFORM_H_
