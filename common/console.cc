#include "common/console.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

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
