// What the Windows branches of the files, folders and replacing code share:
// wide paths, and retrying while another program holds a file. Internal to
// common/, whose Windows branches take <windows.h> from here; empty
// elsewhere than on Windows.
#ifndef QUORVANTIDE_COMMON_WINDOWS_PATHS_H_
#define QUORVANTIDE_COMMON_WINDOWS_PATHS_H_

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <string>
#endif

#ifdef _WIN32
// The UTF-8 path as Windows' wide calls take it. A path near or past the
// old limit of 260 characters is made absolute and given the prefix that
// lifts the limit, so that deep files work wherever the system allows.
std::wstring WidePath(const std::string& path);

// A name as Windows gives it, in UTF-8.
std::string Utf8(const wchar_t* wide);

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

// Moves the file at `from` to `to` with MoveFileExW's `flags`, waiting
// while another program holds either one. Returns whether it moved.
bool MoveOver(const std::string& from, const std::string& to, DWORD flags);

// A stream over an open file handle, which it then owns; null, with the
// handle closed, on failure.
FILE* HandleToFile(HANDLE handle, int flags, const char* mode);
#endif  // _WIN32

#endif  // QUORVANTIDE_COMMON_WINDOWS_PATHS_H_
