#include "app/switches.h"

#include <string_view>

const char kHelp[] =
    "Usage: Quorvantide.exe [switches] [path]filename1[ ...]\n"
    "Switches, before the paths:\n"
    "  --complete  repair every bare hexadecimal tag and name every known "
    "hash,\n"
    "              wherever it stands, with no limit per line\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "  --          end the switches: what follows is a path";

bool ParseSwitches(int argc, const char* const* argv, Switches* switches) {
  int i = 1;
  for (; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.substr(0, 2) != "--") break;
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg == "--complete") {
      switches->mode = PassMode::kComplete;
    } else if (arg == "--help" || arg == "--version") {
      // Answered at once: what follows is not read.
      switches->help = arg == "--help";
      switches->version = !switches->help;
      return true;
    } else {
      switches->error = "Unknown switch " + std::string(arg);
      return false;
    }
  }
  switches->first_path = i;
  return true;
}
