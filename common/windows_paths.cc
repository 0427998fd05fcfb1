#include "common/windows_paths.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

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

std::string Utf8(const wchar_t* wide) {
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(length > 0 ? static_cast<size_t>(length) : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
  text.pop_back();  // the terminating NUL
  return text;
}

bool MoveOver(const std::string& from, const std::string& to, DWORD flags) {
  const std::wstring wide_from = WidePath(from), wide_to = WidePath(to);
  return RetryWhileHeld([&] {
    return MoveFileExW(wide_from.c_str(), wide_to.c_str(), flags) != 0;
  });
}

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
#endif  // _WIN32
