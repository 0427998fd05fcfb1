#include "app/data_files.h"

#include "common/folders.h"

namespace {

constexpr std::string_view kDehashedWord = "_dehashed";

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::string_view PathExtension(std::string_view path) {
  if (path.size() < 6) return {};
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  return path.substr(dot, 4);
}

bool IsDataFileExtension(std::string_view extension) {
  return extension == ".xml" || extension == ".ymt" || extension == ".XML" ||
         extension == ".YMT";
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

std::string DehashedPath(const std::string& path) {
  size_t at = path.size() < 4 ? 0 : path.size() - 4;
  return path.substr(0, at) + std::string(kDehashedWord) + path.substr(at);
}

std::string WalkRoot(const std::string& folder) {
  std::string root = folder;
  while (root.size() > 1 &&
         (root.back() == '/' || root.back() == kPathSeparator)) {
    root.pop_back();
  }
  return root;
}
