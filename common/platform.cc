#include "common/platform.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
namespace {

// A stream over an open file handle, which it then owns; null, with the
// handle closed, on failure.
FILE* HandleToFile(HANDLE handle, int flags, const char* mode) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd == -1) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* file = _fdopen(fd, mode);
  if (file == nullptr) _close(fd);
  return file;
}

}  // namespace
#endif

FILE* OpenForReading(const std::string& path) {
#ifdef _WIN32
  // Others may delete or rename the file meanwhile, as on POSIX systems: so
  // that a planted hard link to it can still be removed as a name.
  HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // Names such as "NUL.xml" or "CON.ymt" open devices, whatever folder
  // they are in; only a disk file is data.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return nullptr;
  }
  return HandleToFile(handle, _O_RDONLY | _O_BINARY, "rb");
#else
  // Looked at before it is opened: opening a FIFO waits for a writer, and
  // opening a device may do anything. The open cannot wait either, and the
  // file is looked at again in case it was swapped in between.
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  FILE* file = nullptr;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0) {
    file = fdopen(fd, "rb");
  }
  if (file == nullptr) close(fd);
  return file;
#endif
}

FILE* CreateNewFile(const std::string& path) {
#ifdef _WIN32
  // The file is created exclusively under a name of its own and then moved
  // over the path, so that whatever stood there, a file or a link, goes as a
  // name. (Deleting it first would do on Windows, but Wine deletes what a
  // Unix symbolic link points to.)
  for (unsigned attempt = 0; attempt < 16; ++attempt) {
    const std::string fresh = path + "." +
                              std::to_string(GetCurrentProcessId()) + "-" +
                              std::to_string(attempt) + ".new";
    HANDLE handle = CreateFileA(fresh.c_str(), GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return nullptr;
    }
    if (!MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      // Removed through the handle: the file made here, whatever its name.
      FILE_DISPOSITION_INFO dispose = {TRUE};
      SetFileInformationByHandle(handle, FileDispositionInfo, &dispose,
                                 sizeof dispose);
      CloseHandle(handle);
      return nullptr;
    }
    return HandleToFile(handle, _O_BINARY, "wb");
  }
  return nullptr;
#else
  // A left-over file or a planted link of either kind goes as a name.
  // Anything else (a folder, a device, a FIFO) stays, and the create below
  // then fails.
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 &&
      (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) {
    unlink(path.c_str());
  }
  const int fd = open(
      path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
    unlink(path.c_str());
  }
  return file;
#endif
}

void CopyOwnerAndPermissions(FILE* from, FILE* to) {
#ifdef _WIN32
  // Windows keeps access rights in the folder's inherited ACLs; a read-only
  // data file makes the replacing move fail, which is reported.
  (void)from;
  (void)to;
#else
  struct stat info;
  if (fstat(fileno(from), &info) != 0) return;
  // The owner first: changing it may clear the set-user-ID bits. Only root
  // may give a file away; for anyone else the file simply stays theirs.
  if (fchown(fileno(to), info.st_uid, info.st_gid) != 0) errno = 0;
  fchmod(fileno(to), info.st_mode & 07777);
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
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  // The new name lives in the folder: until the folder is on the disk, a
  // power cut may bring back the old file, or none.
  const size_t slash = to.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : to.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    // Not reported: the file is in its place, and some file systems refuse
    // to sync a folder at all.
    fsync(fd);
    close(fd);
  }
  return true;
#endif
}
