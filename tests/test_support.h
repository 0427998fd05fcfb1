// Scratch folders and whole-file helpers shared by the tests.
#ifndef QUORVANTIDE_TESTS_TEST_SUPPORT_H_
#define QUORVANTIDE_TESTS_TEST_SUPPORT_H_

#include <string>

#include "common/chunk_reader.h"
#include <vector>

// A fresh, empty folder for one test, removed with everything in it when the
// object goes away.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  // The path of `name` inside the folder.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// Writes `contents` to `path` byte for byte, replacing what was there.
void WriteFile(const std::string& path, const std::string& contents);

// The bytes of the file at `path`; fails the test if it cannot be read.
std::string ReadFile(const std::string& path);

bool FileExists(const std::string& path);

// What a text-mode write of `text` leaves in a file: on Windows each LF
// becomes CR LF; elsewhere the bytes stay as they are.
std::string TextMode(const std::string& text);

// Every chunk of `contents`, read through reads of `read_size` bytes.
std::vector<std::string> ChunksOf(const std::string& contents,
                                  size_t read_size,
                                  LineEnds line_ends = LineEnds::kSettle);

// A seeded jumble of text lines, long lines, CR, LF, NUL and hash tokens,
// for checks that compare two ways of reading the same bytes.
std::string MixedInput(unsigned seed, size_t size);

#endif  // QUORVANTIDE_TESTS_TEST_SUPPORT_H_
