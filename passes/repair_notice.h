// What both repairs, in place and complete, tell the console about a line
// they repair.
#ifndef QUORVANTIDE_PASSES_REPAIR_NOTICE_H_
#define QUORVANTIDE_PASSES_REPAIR_NOTICE_H_

#include <string>
#include <string_view>

// Sets *shown to `kept` (a piece of a line with the file's own line end) as
// text mode reads it: a CR LF at its end read as LF.
void ShownAsText(std::string_view kept, std::string* shown);

// Prints "Attempting to fix invalid XML " and `shown`, a line as
// ShownAsText gives it.
void AnnounceRepair(const std::string& shown);

#endif  // QUORVANTIDE_PASSES_REPAIR_NOTICE_H_
