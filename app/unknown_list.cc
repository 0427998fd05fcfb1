#include "app/unknown_list.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <utility>
#include <vector>

#include "common/output_file.h"
#include "common/platform.h"
#include "common/print_message.h"

void WriteUnknownList(const std::string& path, const UnknownHashes& unknown) {
  std::vector<std::pair<uint32_t, UnknownHashes::Seen>> sorted(
      unknown.hashes.begin(), unknown.hashes.end());
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    return a.second.count != b.second.count ? a.second.count > b.second.count
                                            : a.first < b.first;
  });
  const std::string temporary_path = path + "_tmp";
  OutputFile out;
  if (!OpenOutputFile(&out, temporary_path, /*durable=*/true)) {
    PrintMessage(
        "ERROR: Could not create file %s, check your folder write "
        "permissions.\n",
        temporary_path.c_str());
    return;
  }
  char line[64];
  for (const auto& [hash, seen] : sorted) {
    const int length = std::snprintf(
        line, sizeof(line), "0x%08" PRIX32 "\t%" PRIu64 "\t", hash, seen.count);
    WriteOutput(&out, std::string_view(line, static_cast<size_t>(length)));
    WriteOutput(&out, unknown.files[seen.first_file]);
    WriteOutput(&out, "\n");
  }
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
