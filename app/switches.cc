#include "app/switches.h"

#include <cmath>
#include <cstdlib>
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
    "  --hunt FILE  with --complete: look for names for the hashes left "
    "unnamed\n"
    "              in the data's own words, their variants and the parts of "
    "the\n"
    "              word lists' names; write to FILE what was found, for you "
    "to\n"
    "              add to a word list (see --accept)\n"
    "  --words-from PATH  with --hunt: try the words of PATH as well (a "
    "file,\n"
    "              or every file in a folder); may be given more than once\n"
    "  --chance X  with --hunt: stop the search where the chance matches to\n"
    "              expect would pass X (0.25 unless given)\n"
    "  --out DIR   with --complete: write the copies into DIR, and leave the "
    "data\n"
    "              files as they are: nothing is repaired or written beside "
    "them\n"
    "  --lists DIR  read the word lists from DIR, not from the working "
    "folder\n"
    "  --accept FILE  add the names of the hunt report FILE to the word "
    "lists\n"
    "              (with --lists, to those in DIR) and exit\n"
    "  --hash NAME...  show the member and archive hashes of each NAME and "
    "exit\n"
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
    } else if (arg == "--unknown" || arg == "--hunt" || arg == "--words-from" ||
               arg == "--out" || arg == "--lists" || arg == "--accept") {
      // The file is the next argument: one that looks like a switch, or is
      // empty, is more likely a slip than a name.
      if (i + 1 == argc || argv[i + 1][0] == '\0' ||
          std::string_view(argv[i + 1]).substr(0, 2) == "--") {
        switches->error =
            std::string(arg) +
            (arg == "--words-from" ? " needs the path of a file or folder"
             : arg == "--out"      ? " needs the folder to write the copies to"
             : arg == "--lists"    ? " needs the folder of the word lists"
             : arg == "--accept"   ? " needs the hunt report to read"
                                   : " needs the name of the file to write");
        return false;
      }
      const std::string value = argv[++i];
      if (arg == "--unknown") {
        switches->unknown_list = value;
      } else if (arg == "--hunt") {
        switches->hunt_report = value;
      } else if (arg == "--out") {
        switches->out = value;
      } else if (arg == "--lists") {
        switches->lists = value;
      } else if (arg == "--accept") {
        switches->accept = value;
      } else {
        switches->words_from.push_back(value);
      }
    } else if (arg == "--chance") {
      // The whole argument is the number: "0.5x" or "" is a slip.
      char* end = nullptr;
      const char* text = i + 1 < argc ? argv[i + 1] : "";
      const double chance = std::strtod(text, &end);
      if (*text == '\0' || *end != '\0' || !std::isfinite(chance) ||
          !(chance >= 0)) {
        switches->error = "--chance needs a number of 0 or more";
        return false;
      }
      switches->chance = chance;
      switches->chance_given = true;
      ++i;
    } else if (arg == "--hash") {
      if (i + 1 == argc) {
        switches->error = "--hash needs a name";
        return false;
      }
      switches->hash = true;
      switches->first_path = i + 1;
      return true;
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
  const bool complete = switches->mode == PassMode::kComplete;
  if (!switches->unknown_list.empty() && !complete) {
    switches->error = "--unknown needs --complete";
  } else if (!switches->hunt_report.empty() && !complete) {
    switches->error = "--hunt needs --complete";
  } else if (!switches->out.empty() && !complete) {
    switches->error = "--out needs --complete";
  } else if (!switches->words_from.empty() && switches->hunt_report.empty()) {
    switches->error = "--words-from needs --hunt";
  } else if (switches->chance_given && switches->hunt_report.empty()) {
    switches->error = "--chance needs --hunt";
  } else if (!switches->accept.empty() &&
             (complete || i < argc || switches->chance_given)) {
    switches->error = "--accept goes with no other switch but --lists";
  }
  return switches->error.empty();
}
