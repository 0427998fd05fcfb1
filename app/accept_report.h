// Adds the names that a hunt report offers, checked, to the word lists.
#ifndef QUORVANTIDE_APP_ACCEPT_REPORT_H_
#define QUORVANTIDE_APP_ACCEPT_REPORT_H_

#include <string>

// Reads the hunt report at `report` (as the hunt wrote it, or edited: lines
// deleted or reordered) and checks every line before anything is written:
// "0x" and eight hex digits, a name, "member" or "archive", and the rest of
// the line, the name hashing to the digits under its list and short enough
// for a line of a list. Then adds each name to its list in `lists_folder`
// (see WordListPath) unless the list holds it already, each changed list
// written afresh beside itself and put in its place in one durable step,
// with its own line ends. Prints what it added, or the first fault found,
// after which nothing is written.
void AcceptReport(const std::string& report, const std::string& lists_folder);

#endif  // QUORVANTIDE_APP_ACCEPT_REPORT_H_
