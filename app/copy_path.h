// Where a run writes the dehashed copy of each data file: beside it, or
// into a folder of copies (--out).
#ifndef QUORVANTIDE_APP_COPY_PATH_H_
#define QUORVANTIDE_APP_COPY_PATH_H_

#include <map>
#include <set>
#include <string>

struct CopyPlaces {
  // The folder of the copies, or empty: each copy beside its data file.
  std::string out;
  // The copies this run made or is making in `out`, as their paths compare
  // (the case of letters aside on Windows), and the data file of each.
  std::map<std::string, std::string> taken;
  // The folders under `out` that this run made or found, so that each is
  // looked at once.
  std::set<std::string> folders;
};

// The path of the copy of the data file at `path`, which the walk of the
// folder argument `folder` found (empty for a file argument): beside it, as
// DehashedPath gives it; or, into places.out, a file argument's copy as
// out/its file name, and a folder argument's as out/the folder's own name/
// its path below the folder.
std::string CopyPath(const CopyPlaces& places, const std::string& path,
                     const std::string& folder);

// Takes `copy` for the copy of the data file at `path`, and makes the
// folders it goes in: places.out with its parents as needed, and below it
// folders only (never a link, nor through one). Reports, and returns false,
// when the data file itself or another data file's copy of this run stands
// there, or a folder cannot be made.
bool PrepareCopy(CopyPlaces* places, const std::string& copy,
                 const std::string& path);

#endif  // QUORVANTIDE_APP_COPY_PATH_H_
