#include "common/platform.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <memory>

#ifdef _WIN32
namespace {

// The UTF-8 path as Windows' wide calls take it. A path near or past the
// old limit of 260 characters is made absolute and given the prefix that
// lifts the limit, so that deep files work wherever the system allows.
std::wstring WidePath(const std::string& path) {
  const int length = MultiByteToWideChar(
      CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()),
                      &wide[0], length);
  if (wide.size() < MAX_PATH - 12 || wide.compare(0, 4, L"\\\\?\\") == 0) {
    return wide;
  }
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
  if (got == 0 || got >= size) return wide;
  full.resize(got);
  if (full.compare(0, 2, L"\\\\") == 0) {
    return L"\\\\?\\UNC\\" + full.substr(2);  // \\server\share\...
  }
  return L"\\\\?\\" + full;
}

// A name as Windows gives it, in UTF-8.
std::string Utf8(const wchar_t* wide) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(length > 0 ? static_cast<size_t>(length) : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
  text.pop_back();  // the terminating NUL
  return text;
}

// Runs `step` (a move or a delete, returning whether it worked) until it
// works, again and again while another program holds a file it needs for a
// moment: a virus scanner or an indexer opens a freshly written file
// without letting it be deleted. After about two seconds the step fails,
// with the system's last error as the step left it.
template <typename Step>
bool RetryWhileHeld(Step step) {
  constexpr DWORD kPause = 50, kPatience = 2000;
  for (DWORD waited = 0;; waited += kPause) {
    if (step()) return true;
    const DWORD error = GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) ||
        waited >= kPatience) {
      return false;
    }
    Sleep(kPause);
  }
}

// Moves the file at `from` to `to` with MoveFileExW's `flags`, waiting
// while another program holds either one. Returns whether it moved.
bool MoveOver(const std::string& from, const std::string& to, DWORD flags) {
  const std::wstring wide_from = WidePath(from), wide_to = WidePath(to);
  return RetryWhileHeld([&] {
    return MoveFileExW(wide_from.c_str(), wide_to.c_str(), flags) != 0;
  });
}

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

#ifndef _WIN32
namespace {

void* CloseDescriptor(void* descriptor) {
  const std::unique_ptr<int> fd(static_cast<int*>(descriptor));
  // It only held the replaced file by its path: nothing to lose.
  static_cast<void>(close(*fd));
  return nullptr;
}

}  // namespace
#endif

bool RenameOver(const std::string& from, const std::string& to, bool durable) {
#ifdef _WIN32
  // rename() refuses an existing target on Windows; this move replaces it.
  return MoveOver(from, to,
                  MOVEFILE_REPLACE_EXISTING |
                      (durable ? MOVEFILE_WRITE_THROUGH : DWORD{0}));
#else
  // The file replaced is freed, its cached pages and all, when its last
  // reference goes: in rename() itself, which then takes as long as
  // reading the file did. Holding it open through the rename lets that
  // happen on a thread of its own, beside what the run does next. It is
  // held by its path alone where the system can, so that nothing is read
  // and no device or pipe is opened, and never through a link; if it can't
  // be held, rename() frees it.
#ifdef O_PATH
  constexpr int kHold = O_PATH;
#else
  constexpr int kHold = O_RDONLY | O_NONBLOCK;
#endif
  // A copy that can be made again replaces one as small as itself, mostly:
  // a thread of its own would cost more than the freeing.
  const int replaced =
      durable ? open(to.c_str(), kHold | O_NOFOLLOW | O_CLOEXEC) : -1;
  const bool renamed = std::rename(from.c_str(), to.c_str()) == 0;
  if (replaced >= 0) {
    auto* descriptor = new int(replaced);
    pthread_t thread;
    if (pthread_create(&thread, nullptr, CloseDescriptor, descriptor) == 0) {
      // Cannot fail for a thread just made and not yet joined.
      static_cast<void>(pthread_detach(thread));
    } else {
      CloseDescriptor(descriptor);
    }
  }
  if (!renamed) return false;
  if (!durable) return true;
  // The new name lives in the folder: until the folder is on the disk, a
  // power cut may bring back the old file, or none.
  const size_t slash = to.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : to.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    // Not reported: the file is in its place, and some file systems refuse
    // to sync a folder at all. The folder was only read.
    static_cast<void>(fsync(fd));
    static_cast<void>(close(fd));
  }
  return true;
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

bool MakeFolder(const std::string& path, bool through_link) {
#ifdef _WIN32
  const std::wstring wide = WidePath(path);
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  // Junctions and links to folders are reparse points.
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (through_link || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0);
#else
  if (mkdir(path.c_str(), 0777) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) || (through_link && IsFolder(path));
#endif
}

bool IsFolder(const std::string& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
#else
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

bool IsLink(const std::string& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
  struct stat info;
  return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
#endif
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>* entries) {
#ifdef _WIN32
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(WidePath(path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const std::string name = Utf8(found.cFileName);
    if (name == "." || name == "..") continue;
    const DWORD attributes = found.dwFileAttributes;
    FolderEntry::Kind kind = FolderEntry::kFile;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      // Junctions and links to folders are reparse points.
      kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                 ? FolderEntry::kLinkToFolder
                 : FolderEntry::kFolder;
    }
    entries->push_back(FolderEntry{name, kind});
  } while (FindNextFileW(search, &found));
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);  // a listing only read: nothing to lose
  return complete;
#else
  DIR* folder = opendir(path.c_str());
  if (folder == nullptr) return false;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(folder);
    if (entry == nullptr) break;
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::string full = path;
    full += kPathSeparator;
    full += name;
    struct stat info;
    FolderEntry::Kind kind = FolderEntry::kFile;
    if (lstat(full.c_str(), &info) == 0) {
      if (S_ISDIR(info.st_mode)) {
        kind = FolderEntry::kFolder;
      } else if (S_ISLNK(info.st_mode) && IsFolder(full)) {
        kind = FolderEntry::kLinkToFolder;
      }
    }
    entries->push_back(FolderEntry{name, kind});
  }
  const bool complete = errno == 0;
  static_cast<void>(closedir(folder));  // only read: nothing to lose
  return complete;
#endif
}

bool FileIdentity(const std::string& path, std::pair<uint64_t, uint64_t>* id) {
#ifdef _WIN32
  HANDLE folder =
      CreateFileW(WidePath(path).c_str(), 0,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(folder, &info) != 0;
  CloseHandle(folder);
  if (known) {
    *id = {info.dwVolumeSerialNumber,
           uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
  }
  return known;
#else
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  *id = {static_cast<uint64_t>(info.st_dev),
         static_cast<uint64_t>(info.st_ino)};
  return true;
#endif
}

ConsoleCodePage SystemConsole() {
#ifdef _WIN32
  return ConsoleCodePage{
      [] {
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode;
        return GetFileType(out) == FILE_TYPE_CHAR &&
               GetConsoleMode(out, &mode) != 0;
      },
      [] { return static_cast<unsigned>(GetConsoleOutputCP()); },
      [](unsigned page) { return SetConsoleOutputCP(page) != 0; }};
#else
  return ConsoleCodePage{[] { return false; }, [] { return 0u; },
                         [](unsigned) { return false; }};
#endif
}

unsigned UseUtf8Console(const ConsoleCodePage& console) {
  constexpr unsigned kUtf8 = 65001;
  if (!console.is_console()) return 0;
  const unsigned page = console.get();
  if (page == 0 || page == kUtf8 || !console.set(kUtf8)) return 0;
  return page;
}

void RestoreConsole(const ConsoleCodePage& console, unsigned page) {
  // Nothing is left to tell the user if the console refuses.
  if (page != 0) console.set(page);
}

namespace {

#ifdef _WIN32
unsigned __stdcall RunBackground(void* task_pointer) {
#else
void* RunBackground(void* task_pointer) {
#endif
  auto* task = static_cast<BackgroundTask*>(task_pointer);
  task->work(task->argument);
  return 0;
}

}  // namespace

void StartBackground(BackgroundTask* task, void (*work)(void* argument),
                     void* argument) {
  task->work = work;
  task->argument = argument;
#ifdef _WIN32
  task->thread = reinterpret_cast<void*>(
      _beginthreadex(nullptr, 0, RunBackground, task, 0, nullptr));
#else
  auto* thread = new pthread_t;
  if (pthread_create(thread, nullptr, RunBackground, task) == 0) {
    task->thread = thread;
  } else {
    delete thread;
  }
#endif
  if (task->thread == nullptr) work(argument);
}

void FinishBackground(BackgroundTask* task) {
  if (task->thread == nullptr) return;
#ifdef _WIN32
  // Waiting on, and joining, a thread that the task made and nothing else
  // holds cannot fail.
  WaitForSingleObject(task->thread, INFINITE);
  CloseHandle(task->thread);
#else
  auto* thread = static_cast<pthread_t*>(task->thread);
  static_cast<void>(pthread_join(*thread, nullptr));
  delete thread;
#endif
  task->thread = nullptr;
}

bool RemoveFile(const std::string& path) {
#ifdef _WIN32
  const std::wstring wide = WidePath(path);
  return RetryWhileHeld([&] { return DeleteFileW(wide.c_str()) != 0; });
#else
  return unlink(path.c_str()) == 0;
#endif
}
