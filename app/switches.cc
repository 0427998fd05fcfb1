#include "app/switches.h"

#include <string_view>

const char kHelp[] =
    "Usage: Quorvantide.exe [switches] [path]filename1[ ...]\n"
    "Switches, before the paths:\n"
    "  --complete  repair every bare hexadecimal tag and name every known "
    "hash,\n"
    "              wherever it stands, with no limit per line; a folder "
    "stands\n"
    "              for every data file beneath it\n"
    "  --unknown FILE  with --complete: write to FILE the hashes left "
    "unnamed,\n"
    "              how often each occurs and where first\n"
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
    } else if (arg == "--unknown") {
      // The file is the next argument: one that looks like a switch, or is
      // empty, is more likely a slip than a name.
      if (i + 1 == argc || argv[i + 1][0] == '\0' ||
          std::string_view(argv[i + 1]).substr(0, 2) == "--") {
        switches->error = "--unknown needs the name of the file to write";
        return false;
      }
      switches->unknown_list = argv[++i];
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
  if (!switches->unknown_list.empty() &&
      switches->mode != PassMode::kComplete) {
    switches->error = "--unknown needs --complete";
    return false;
  }
  return true;
}
