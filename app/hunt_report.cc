#include "app/hunt_report.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "app/folder_walk.h"
#include "app/report_file.h"
#include "app/unknown_list.h"
#include "common/files.h"
#include "common/folders.h"
#include "common/print_message.h"
#include "passes/hunt_scan.h"

namespace {

// The most pairs of parts tried, however large the budget: past these the
// pairs are so unlikely that the time is better spent elsewhere.
constexpr uint64_t kMostPairs = uint64_t{1} << 22;

}  // namespace

void ReadWordsFrom(const std::vector<std::string>& paths, NameHunt* hunt) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    if (IsFolder(path)) {
      CollectEveryFile(path, &files);
    } else {
      files.push_back(path);
    }
  }
  for (const std::string& file : files) {
    FILE* input = OpenForReading(file);
    if (input == nullptr) {
      PrintMessage("ERROR: Could not open file %s\n", file.c_str());
      continue;
    }
    if (!CollectWords(input, &hunt->other_words)) {
      PrintMessage("ERROR: Could not read file %s\n", file.c_str());
    }
    CloseInput(input);
  }
  CountTableParts(hunt->other_words, &hunt->vocabulary);
}

void FinishHunt(const std::string& path, const UnknownHashes& unknown,
                NameHunt* hunt) {
  std::vector<uint32_t> hashes;
  hashes.reserve(unknown.hashes.size());
  uint64_t occurrences = 0;
  for (const auto& [hash, seen] : unknown.hashes) {
    hashes.push_back(hash);
    occurrences += seen.count;
  }
  HashTargets targets;
  MakeHashTargets(hashes, &targets);
  MatchWords(hunt, targets);
  // Each vocabulary round is tried against the hashes still unnamed.
  auto unnamed = [&] {
    hashes.erase(std::remove_if(hashes.begin(), hashes.end(),
                                [&](uint32_t hash) {
                                  return hunt->finds.count(hash) != 0;
                                }),
                 hashes.end());
    MakeHashTargets(hashes, &targets);
    return targets;
  };
  MatchVocabulary(hunt, unnamed());
  MatchVocabularyPairs(hunt, unnamed(), kMostPairs);
  static const char* const kSources[] = {"data", "words", "variant",
                                         "vocabulary"};
  std::string text;
  char number[64];
  size_t found = 0;
  uint64_t found_occurrences = 0;
  for (const auto& [hash, seen] : MostFrequentFirst(unknown)) {
    const auto find = hunt->finds.find(hash);
    if (find == hunt->finds.end()) continue;
    ++found;
    found_occurrences += seen.count;
    std::snprintf(number, sizeof number, "0x%08" PRIX32 "\t", hash);
    text += number;
    text += find->second.name;
    text += find->second.archive ? "\tarchive\t" : "\tmember\t";
    std::snprintf(number, sizeof number, "%" PRIu64 "\t", seen.count);
    text += number;
    text += unknown.files[seen.first_file];
    text += '\t';
    text += kSources[static_cast<int>(find->second.source)];
    text += '\n';
  }
  WriteReportFile(path, text);
  PrintMessage(
      "Found names for %llu of %llu unknown hashes (%llu of %llu "
      "occurrences); chance matches expected: %.2f",
      static_cast<unsigned long long>(found),
      static_cast<unsigned long long>(unknown.hashes.size()),
      static_cast<unsigned long long>(found_occurrences),
      static_cast<unsigned long long>(occurrences),
      ExpectedChanceMatches(*hunt));
  if (hunt->exhausted) {
    PrintMessage("; the chance budget ended the search");
  }
  PrintMessage("\n");
}
