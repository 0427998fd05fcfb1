#include "common/files.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

#include "common/windows_paths.h"

FILE* OpenForReading(const std::string& path) {
#ifdef _WIN32
  // Others may delete or rename the file meanwhile, as on POSIX systems: so
  // that a planted hard link to it can still be removed as a name.
  HANDLE handle =
      CreateFileW(WidePath(path).c_str(), GENERIC_READ,
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
  // The flags are set only from flags read back: a failed read of them
  // would set every other flag bit on the file.
  const int flags = fcntl(fd, F_GETFL);
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flags != -1 &&
      fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) {
    file = fdopen(fd, "rb");
  }
  if (file == nullptr) close(fd);
  return file;
#endif
}

bool IsRegularFile(const std::string& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
#else
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
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
    HANDLE handle = CreateFileW(WidePath(fresh).c_str(), GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return nullptr;
    }
    if (!MoveOver(fresh, path, MOVEFILE_REPLACE_EXISTING)) {
      // Removed through the handle: the file made here, whatever its name.
      FILE_DISPOSITION_INFO dispose = {TRUE};
      // Should that fail, an empty file under a name of the tool's own stays;
      // the failure to create is reported all the same.
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
  // Anything else (a folder, a device, a FIFO) stays. Whether the unlink
  // worked needs no check of its own: the exclusive create below fails
  // whenever anything still stands at the path.
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 &&
      (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) {
    static_cast<void>(unlink(path.c_str()));
  }
  const int fd = open(
      path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    // The empty file made here goes again; if it cannot, an empty file is
    // all that stays, and the failure to create is reported all the same.
    static_cast<void>(close(fd));
    static_cast<void>(unlink(path.c_str()));
  }
  return file;
#endif
}

bool CopyOwnerAndPermissions(FILE* from, FILE* to) {
#ifdef _WIN32
  // Windows keeps access rights in the folder's inherited ACLs; a read-only
  // data file makes the replacing move fail, which is reported.
  (void)from;
  (void)to;
  return true;
#else
  struct stat info;
  if (fstat(fileno(from), &info) != 0) return false;
  // The owner first: changing it may clear the set-user-ID bits. Only root
  // may give a file away; for anyone else the file simply stays theirs, so
  // a failure here is no failure of the copy.
  if (fchown(fileno(to), info.st_uid, info.st_gid) != 0) errno = 0;
  return fchmod(fileno(to), info.st_mode & 07777) == 0;
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

bool StartWriteback(FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef __linux__
  // Only a hint: if the writeback does not start now, SyncToDisk still
  // forces the bytes out, and reports its own failure.
  static_cast<void>(sync_file_range(fileno(file), 0, 0, SYNC_FILE_RANGE_WRITE));
#endif
  return true;
}

bool SyncToDisk(FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}
