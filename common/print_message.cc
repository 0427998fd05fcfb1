#include "common/print_message.h"

#include <cstdarg>
#include <cstdio>

// What standard output returns is not looked at: it is where failures are
// told, so a failure of its own has nowhere to go.
void PrintMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

void PrintMessageWithText(const char* message, std::string_view text) {
  std::fputs(message, stdout);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}
