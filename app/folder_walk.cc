#include "app/folder_walk.h"

#include <algorithm>
#include <set>
#include <utility>

#include "app/process_file.h"
#include "common/platform.h"
#include "common/print_message.h"

namespace {

constexpr std::string_view kTemporarySuffix = "_tmp";
constexpr std::string_view kDehashedWord = "_dehashed";

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         text.substr(text.size() - end.size()) == end;
}

using FolderIds = std::set<std::pair<uint64_t, uint64_t>>;

void Walk(const std::string& folder, bool every_file, FolderIds* seen,
          std::vector<std::string>* paths) {
  std::pair<uint64_t, uint64_t> id;
  // A folder reached twice (through a link that the system does not show
  // as one) is walked once.
  if (FileIdentity(folder, &id) && !seen->insert(id).second) return;
  std::vector<FolderEntry> entries;
  if (!ListFolder(folder, &entries)) {
    PrintMessage("ERROR: Could not read folder %s\n", folder.c_str());
  }
  for (const FolderEntry& entry : entries) {
    std::string path = folder;
    path += kPathSeparator;
    path += entry.name;
    if (entry.kind == FolderEntry::kFolder) {
      if (entry.name[0] != '.') Walk(path, every_file, seen, paths);
    } else if (entry.kind == FolderEntry::kFile &&
               (every_file || IsWalkedDataFile(entry.name))) {
      paths->push_back(path);
    }
  }
}

void CollectFiles(const std::string& folder, bool every_file,
                  std::vector<std::string>* paths, const std::string& skipped) {
  const std::string root = WalkRoot(folder);
  FolderIds seen;
  // Counted as seen before the walk, it is never entered.
  std::pair<uint64_t, uint64_t> id;
  if (!skipped.empty() && FileIdentity(skipped, &id)) seen.insert(id);
  const size_t first = paths->size();
  Walk(root, every_file, &seen, paths);
  std::sort(paths->begin() + static_cast<std::ptrdiff_t>(first), paths->end());
}

}  // namespace

std::string WalkRoot(const std::string& folder) {
  std::string root = folder;
  while (root.size() > 1 &&
         (root.back() == '/' || root.back() == kPathSeparator)) {
    root.pop_back();
  }
  return root;
}

void CollectDataFiles(const std::string& folder,
                      std::vector<std::string>* paths,
                      const std::string& skipped) {
  CollectFiles(folder, false, paths, skipped);
}

void CollectEveryFile(const std::string& folder,
                      std::vector<std::string>* paths) {
  CollectFiles(folder, true, paths, "");
}

bool IsWalkedDataFile(std::string_view name) {
  // The path the folder makes is long enough for an extension, so only the
  // name's own is looked at.
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos ||
      !IsDataFileExtension(name.substr(dot, 4))) {
    return false;
  }
  const bool dehashed = name.size() >= kDehashedWord.size() + 4 &&
                        name.substr(name.size() - 4 - kDehashedWord.size(),
                                    kDehashedWord.size()) == kDehashedWord;
  return !dehashed && !EndsWith(name, kTemporarySuffix);
}
