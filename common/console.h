// The console's code page: UTF-8 for the run, and back as it was.
#ifndef QUORVANTIDE_COMMON_CONSOLE_H_
#define QUORVANTIDE_COMMON_CONSOLE_H_

// The console functions that UseUtf8Console needs, so that a test can stand
// in for them.
struct ConsoleCodePage {
  bool (*is_console)();        // whether standard output is a console
  unsigned (*get)();           // the console's output code page
  bool (*set)(unsigned page);  // sets it; false on failure
};

// The system's own: on Windows the console's, elsewhere none (no console
// has a code page to set there).
ConsoleCodePage SystemConsole();

// When standard output is a console, makes UTF-8 its output code page, so
// that the UTF-8 bytes the tool prints read right, and returns the page it
// had; otherwise changes nothing and returns 0.
unsigned UseUtf8Console(const ConsoleCodePage& console);

// Puts back the code page that UseUtf8Console returned (nothing for 0).
void RestoreConsole(const ConsoleCodePage& console, unsigned page);

#endif  // QUORVANTIDE_COMMON_CONSOLE_H_
