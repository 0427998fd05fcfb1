// The switches that may come before the paths on the command line.
#ifndef QUORVANTIDE_APP_SWITCHES_H_
#define QUORVANTIDE_APP_SWITCHES_H_

#include <string>
#include <vector>

#include "names/name_hunt.h"
#include "passes/pass_mode.h"

// The usage line that a run without paths shows.
constexpr char kUsage[] = "Usage: Quorvantide.exe [path]filename1[ ...]";

// The usage with every switch and what it does, as --help shows it (with
// no line feed at its end).
extern const char kHelp[];

struct Switches {
  PassMode mode = PassMode::kDefault;
  std::string unknown_list;  // where to write the hashes left unknown, if set
  std::string hunt_report;   // where to write the names hunted, if set
  std::string out;           // the folder for the copies, if set
  std::vector<std::string> words_from;  // other files whose words to try
  std::string lists;                    // the folder of the word lists, if set
  std::string accept;  // the hunt report whose names to add to them, if set
  double chance = kDefaultChanceBudget;  // the hunt's budget of chance matches
  bool chance_given = false;
  bool help = false;
  bool version = false;
  bool hash = false;   // the paths are names whose hashes to show
  int first_path = 1;  // the index in argv of the first path
  std::string error;   // what was not understood, when parsing failed
};

// Reads the switches that open the command line, from left to right: every
// argument from argv[1] that starts with "--", up to the first that does
// not, or up to a "--" of its own, which ends them and is no path. Stops at
// --help or --version, which leave the rest unread, and at --hash, after
// which every argument is a name. "--unknown" and "--hunt" take the next
// argument as their file, "--out" as its folder, and need "--complete";
// "--words-from" takes the next as its path and "--chance" as a number of 0
// or more, and both need "--hunt"; "--lists" takes the next as its folder,
// "--accept" as its report, which goes with no switch but --lists and no
// path. Returns false,
// with `error` set, at the first switch it does not know or that is misused.
bool ParseSwitches(int argc, const char* const* argv, Switches* switches);

#endif  // QUORVANTIDE_APP_SWITCHES_H_
