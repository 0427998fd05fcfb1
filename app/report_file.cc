#include "app/report_file.h"

#include "common/output_file.h"
#include "common/print_message.h"
#include "common/replacing.h"

void WriteReportFile(const std::string& path, std::string_view text) {
  const std::string temporary_path = path + "_tmp";
  OutputFile out;
  if (!OpenOutputFile(&out, temporary_path, /*durable=*/true)) {
    PrintMessage(
        "ERROR: Could not create file %s, check your folder write "
        "permissions.\n",
        temporary_path.c_str());
    return;
  }
  WriteOutput(&out, text);
  if (!CloseOutputFile(&out)) {
    PrintMessage("ERROR: Could not write file %s\n", temporary_path.c_str());
  } else if (!RenameOver(temporary_path, path)) {
    PrintMessage(
        "ERROR: Could not rename file, check your file permissions.\n");
  } else {
    return;
  }
  // Only ever under the temporary name, and reported already.
  static_cast<void>(RemoveFile(temporary_path));
}
