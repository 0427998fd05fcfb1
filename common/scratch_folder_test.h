// What the unit tests that touch files share: a folder of their own.
#ifndef QUORVANTIDE_COMMON_SCRATCH_FOLDER_TEST_H_
#define QUORVANTIDE_COMMON_SCRATCH_FOLDER_TEST_H_

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

// A new folder under the system's temporary folder (one that exists already
// is someone else's), removed with all it holds however the test ends.
struct ScratchFolder {
  std::filesystem::path dir;
  ScratchFolder() {
    while (!std::filesystem::create_directory(
        dir = std::filesystem::temp_directory_path() /
              ("quorvantide-test-" + std::to_string(std::random_device()())))) {
    }
  }
  ~ScratchFolder() {
    std::error_code ignored;  // a file still open may stay, on Windows
    std::filesystem::remove_all(dir, ignored);
  }
};

// The bytes of the file at `path`.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

#endif  // QUORVANTIDE_COMMON_SCRATCH_FOLDER_TEST_H_
