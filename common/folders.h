// Folders: making, listing and telling them apart, and links.
#ifndef QUORVANTIDE_COMMON_FOLDERS_H_
#define QUORVANTIDE_COMMON_FOLDERS_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What joins a folder and a name in a path this tool makes.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Whether `path` names a folder, following links.
bool IsFolder(const std::string& path);

// Whether `path` is itself a link of any kind (on Windows, a reparse point),
// whatever it leads to, or nowhere.
bool IsLink(const std::string& path);

// Makes the folder at `path`, whose parent must exist, unless a folder
// stands there already. Returns false if it cannot be made, or if anything
// else stands there: a file, or a link of any kind (even to a folder) when
// not `through_link`, so that nothing is ever written through a link that
// someone left or planted.
bool MakeFolder(const std::string& path, bool through_link);

struct FolderEntry {
  enum Kind { kFile, kFolder, kLinkToFolder };
  std::string name;
  Kind kind;  // kFile also for a link to a file and for anything else
};

// Lists the entries of the folder at `path`, "." and ".." left out, in no
// particular order. Returns false if the folder cannot be read.
bool ListFolder(const std::string& path, std::vector<FolderEntry>* entries);

// Sets *id to what tells the file or folder at `path` apart from every
// other on the machine, wherever links lead to it. Returns false on failure.
bool FileIdentity(const std::string& path, std::pair<uint64_t, uint64_t>* id);

#endif  // QUORVANTIDE_COMMON_FOLDERS_H_
