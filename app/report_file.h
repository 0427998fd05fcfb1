// Writes the lists a run reports on, such as the hashes it left unnamed.
#ifndef QUORVANTIDE_APP_REPORT_FILE_H_
#define QUORVANTIDE_APP_REPORT_FILE_H_

#include <string>
#include <string_view>

// Writes `text` (with the platform's line ends) to `path`: afresh beside it,
// under `path` + "_tmp", and put in its place only when complete, so that
// no partial list ever stands under its name, and never through a link.
// Reports failures.
void WriteReportFile(const std::string& path, std::string_view text);

#endif  // QUORVANTIDE_APP_REPORT_FILE_H_
