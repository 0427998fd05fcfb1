#include "app/unknown_list.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <utility>
#include <vector>

#include "app/report_file.h"

std::vector<std::pair<uint32_t, UnknownHashes::Seen>> MostFrequentFirst(
    const UnknownHashes& unknown) {
  std::vector<std::pair<uint32_t, UnknownHashes::Seen>> sorted(
      unknown.hashes.begin(), unknown.hashes.end());
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    return a.second.count != b.second.count ? a.second.count > b.second.count
                                            : a.first < b.first;
  });
  return sorted;
}

void WriteUnknownList(const std::string& path, const UnknownHashes& unknown) {
  std::string text;
  char line[64];
  for (const auto& [hash, seen] : MostFrequentFirst(unknown)) {
    const int length = std::snprintf(
        line, sizeof(line), "0x%08" PRIX32 "\t%" PRIu64 "\t", hash, seen.count);
    text.append(line, static_cast<size_t>(length));
    text += unknown.files[seen.first_file];
    text += '\n';
  }
  WriteReportFile(path, text);
}
