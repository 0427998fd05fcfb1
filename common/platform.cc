#include "common/platform.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>

FILE* OpenForReading(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
#ifndef _WIN32
  // Windows refuses to open a directory; POSIX opens it and fails later.
  struct stat info;
  if (file != nullptr &&
      (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode))) {
    std::fclose(file);
    return nullptr;
  }
#endif
  return file;
}

FILE* OpenForWriting(const std::string& path, bool binary) {
  return std::fopen(path.c_str(), binary ? "wb" : "w");
}

void CopyPermissions(FILE* from, FILE* to) {
#ifdef _WIN32
  // Windows keeps access rights in the folder's inherited ACLs; a read-only
  // data file makes the replacing move fail, which is reported.
  (void)from;
  (void)to;
#else
  struct stat info;
  if (fstat(fileno(from), &info) == 0) fchmod(fileno(to), info.st_mode & 07777);
#endif
}

long long FileSize(FILE* file) {
#ifdef _WIN32
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) != 0) return -1;
  return (info.st_mode & _S_IFREG) ? info.st_size : -1;
#else
  struct stat info;
  if (fstat(fileno(file), &info) != 0) return -1;
  return S_ISREG(info.st_mode) ? static_cast<long long>(info.st_size) : -1;
#endif
}

void* AllocateLarge(size_t bytes) {
#ifdef __linux__
  constexpr size_t kHugePage = size_t{2} << 20;
  if (bytes >= kHugePage) {
    size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (void* memory = std::aligned_alloc(kHugePage, rounded)) {
      madvise(memory, rounded, MADV_HUGEPAGE);  // only a hint
      return memory;
    }
  }
#endif
  return std::malloc(bytes);
}

void FreeLarge(void* memory) { std::free(memory); }

void StartWriteback(FILE* file) {
  std::fflush(file);
#ifdef __linux__
  sync_file_range(fileno(file), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

bool SyncToDisk(FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

bool RenameOver(const std::string& from, const std::string& to) {
#ifdef _WIN32
  // rename() refuses an existing target on Windows; this move replaces it.
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}
