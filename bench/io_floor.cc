// The least I/O the tool's work on one data file takes, done plainly, to
// time it against: the file is read once (the look for bare tags), then
// read again while every byte goes to a copy (the dehash pass). With
// --repair, the first read also writes a copy that is forced to disk, as a
// repair's temporary file is.
//
//   io_floor [--repair] FILE COPY
//
// Reads and writes go through 1 MiB buffers. COPY (and COPY.tmp with
// --repair) are left for the caller to remove.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr size_t kBufferSize = size_t{1} << 20;

// Reads `path` to its end, writing every byte to `copy` unless it is null.
bool Pass(const char* path, FILE* copy, char* buffer) {
  FILE* in = std::fopen(path, "rb");
  if (in == nullptr) return false;
  std::setvbuf(in, nullptr, _IONBF, 0);
  bool ok = true;
  for (size_t got; (got = std::fread(buffer, 1, kBufferSize, in)) != 0;) {
    if (copy != nullptr && std::fwrite(buffer, 1, got, copy) != got) {
      ok = false;
    }
  }
  return std::fclose(in) == 0 && ok;
}

FILE* Create(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file != nullptr) std::setvbuf(file, nullptr, _IONBF, 0);
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  const bool repair = argc == 4 && std::strcmp(argv[1], "--repair") == 0;
  if (argc != 3 + repair) {
    std::fprintf(stderr, "usage: io_floor [--repair] FILE COPY\n");
    return 2;
  }
  const char* path = argv[1 + repair];
  const std::string copy_path = argv[2 + repair];
  std::unique_ptr<char[]> buffer(new char[kBufferSize]);
  FILE* temporary = repair ? Create(copy_path + ".tmp") : nullptr;
  bool ok = !repair || temporary != nullptr;
  ok = ok && Pass(path, temporary, buffer.get());
  if (temporary != nullptr) {
    ok = ok && fsync(fileno(temporary)) == 0;
    ok = std::fclose(temporary) == 0 && ok;
  }
  FILE* copy = Create(copy_path);
  ok = ok && copy != nullptr && Pass(path, copy, buffer.get());
  if (copy != nullptr) ok = std::fclose(copy) == 0 && ok;
  if (!ok) std::perror(path);
  return ok ? 0 : 1;
}
