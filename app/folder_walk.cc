#include "app/folder_walk.h"

#include <algorithm>
#include <set>
#include <utility>

#include "app/data_files.h"
#include "common/folders.h"
#include "common/print_message.h"

namespace {

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

void CollectDataFiles(const std::string& folder,
                      std::vector<std::string>* paths,
                      const std::string& skipped) {
  CollectFiles(folder, false, paths, skipped);
}

void CollectEveryFile(const std::string& folder,
                      std::vector<std::string>* paths) {
  CollectFiles(folder, true, paths, "");
}
