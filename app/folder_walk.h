// Finds the data files beneath a folder, for complete mode.
#ifndef QUORVANTIDE_APP_FOLDER_WALK_H_
#define QUORVANTIDE_APP_FOLDER_WALK_H_

#include <string>
#include <string_view>
#include <vector>

// Adds to *paths every data file beneath `folder`, at any depth, in byte
// order of the paths. Folders whose name starts with "." and links to
// folders are not entered, nor is any folder twice, nor `skipped` (when
// given and it exists: the folder the copies go to). Reports a folder that
// cannot be read, and goes on.
void CollectDataFiles(const std::string& folder,
                      std::vector<std::string>* paths,
                      const std::string& skipped = "");

// Adds to *paths every file beneath `folder` as CollectDataFiles does, but
// whatever its name: every regular file, and every link to one.
void CollectEveryFile(const std::string& folder,
                      std::vector<std::string>* paths);

#endif  // QUORVANTIDE_APP_FOLDER_WALK_H_
