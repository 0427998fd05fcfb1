// The one way the tool talks to the user: messages on standard output.
#ifndef QUORVANTIDE_COMMON_PRINT_MESSAGE_H_
#define QUORVANTIDE_COMMON_PRINT_MESSAGE_H_

#include <string_view>

#ifdef __GNUC__
#define QUORVANTIDE_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#define QUORVANTIDE_PRINTF_FORMAT
#endif

// Prints a printf-style message to standard output and flushes it, so that it
// shows at once even without a line feed.
void PrintMessage(const char* format, ...) QUORVANTIDE_PRINTF_FORMAT;

// Prints `message` followed by `text` byte for byte, NUL bytes included, and
// flushes them.
void PrintMessageWithText(const char* message, std::string_view text);

#endif  // QUORVANTIDE_COMMON_PRINT_MESSAGE_H_
