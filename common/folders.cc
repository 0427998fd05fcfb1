#include "common/folders.h"

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#endif

#include <cerrno>

#include "common/windows_paths.h"

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
