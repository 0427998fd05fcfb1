// Holds a file open without letting it be deleted or renamed, as a virus
// scanner or an indexer does on Windows, until another file appears.
//
//   hold_file PATH UNTIL MILLISECONDS
//
// Prints "held" once PATH is open; lets go of it MILLISECONDS after a file
// UNTIL exists (or after five minutes, should it never come).

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: hold_file PATH UNTIL MILLISECONDS\n", stderr);
    return 2;
  }
  // Reading is shared; writing and deleting (which a rename over the file
  // needs) are not.
  HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open %s: error %lu\n", argv[1],
                 GetLastError());
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  for (int wait = 0;
       wait < 30000 && GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES;
       ++wait) {
    Sleep(10);
  }
  Sleep(static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
  CloseHandle(file);
  return 0;
}
