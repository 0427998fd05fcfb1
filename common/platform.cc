#include "common/platform.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#endif

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

FILE* OpenForWriting(const std::string& path) {
  return std::fopen(path.c_str(), "w");
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

bool SyncToDisk(FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

bool ReplaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  // rename() refuses an existing target on Windows; this move replaces it.
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}
