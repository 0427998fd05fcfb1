#include "app/copy_path.h"

#include <filesystem>
#include <system_error>

#include "app/data_files.h"
#include "common/folders.h"
#include "common/print_message.h"

namespace {

bool IsSeparator(char c) { return c == '/' || c == kPathSeparator; }

// The last part of `path`, after its last separator.
std::string LastPart(const std::string& path) {
  size_t at = path.size();
  while (at > 0 && !IsSeparator(path[at - 1])) --at;
  return path.substr(at);
}

// A folder's own name, also where its argument does not show it ("." or
// "..", say).
std::string FolderName(const std::string& folder) {
  std::string name = LastPart(WalkRoot(folder));
  if (!name.empty() && name != "." && name != "..") return name;
  std::error_code error;
  std::filesystem::path absolute =
      std::filesystem::absolute(folder, error).lexically_normal();
  if (!absolute.has_filename()) absolute = absolute.parent_path();
  const std::string own = absolute.filename().string();
  return own.empty() ? "root" : own;
}

// How two copies' paths compare: Windows does not tell the case of
// letters apart.
std::string Compared(std::string path) {
#ifdef _WIN32
  for (char& c : path) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = kPathSeparator;
  }
#endif
  return path;
}

}  // namespace

std::string CopyPath(const CopyPlaces& places, const std::string& path,
                     const std::string& folder) {
  if (places.out.empty()) return DehashedPath(path);
  std::string copy = WalkRoot(places.out);
  copy += kPathSeparator;
  if (folder.empty()) return copy + LastPart(path);
  const std::string root = WalkRoot(folder);
  return copy + FolderName(folder) + kPathSeparator +
         path.substr(root.size() + 1);
}

bool PrepareCopy(CopyPlaces* places, const std::string& copy,
                 const std::string& path) {
  // A data file that stands where its copy goes (named from inside the
  // folder of copies) would be written over.
  std::pair<uint64_t, uint64_t> copy_id, data_id;
  if (FileIdentity(copy, &copy_id) && FileIdentity(path, &data_id) &&
      copy_id == data_id) {
    PrintMessage("ERROR: The copy of %s would replace it\n", path.c_str());
    return false;
  }
  const auto [taken, added] = places->taken.try_emplace(Compared(copy), path);
  if (!added && taken->second != path) {
    PrintMessage("ERROR: The copy of %s would be %s, the copy of %s\n",
                 path.c_str(), copy.c_str(), taken->second.c_str());
    return false;
  }
  // The folder of the copies and its parents are the user's to choose, links
  // and all; below it the tool makes every folder itself.
  const std::string out = WalkRoot(places->out);
  for (size_t at = 1; at < copy.size(); ++at) {
    if (!IsSeparator(copy[at]) || IsSeparator(copy[at - 1])) continue;
    const std::string folder = copy.substr(0, at);
    if (places->folders.count(folder) != 0) continue;
    bool made;
    if (at > out.size()) {
      made = MakeFolder(folder, false);
    } else {
      // Above the copies' folder, only what is missing is made; a failure
      // there shows when the copies' folder itself cannot be made.
      made = IsFolder(folder) || MakeFolder(folder, true) || at < out.size();
    }
    if (!made) {
      PrintMessage("ERROR: Could not create folder %s\n", folder.c_str());
      return false;
    }
    places->folders.insert(folder);
  }
  return true;
}
