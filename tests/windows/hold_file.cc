// Holds a file open for a while without letting it be deleted or renamed,
// as a virus scanner or an indexer does on Windows.
//
//   hold_file PATH MILLISECONDS
//
// Prints "held" once the file is open, then waits and closes it.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: hold_file PATH MILLISECONDS\n", stderr);
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
  Sleep(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
  CloseHandle(file);
  return 0;
}
