// The repair pass: it inserts "UNK_MEMBER_" exactly where a chunk begins
// "<0x" or "</0", and taking the insertions out gives the input back.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "common/output_file.h"
#include "fuzz/fuzz_support.h"
#include "passes/repair_in_place.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The pass announces every repair on the console.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t read_size = 1 + data[0] % 128;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);

  // One output buffer for all runs: a megabyte allocated per run would
  // cost more than the run.
  static std::unique_ptr<char[]> buffer(new char[kOutputBufferSize]);
  char* written = nullptr;
  size_t written_size = 0;
  OutputFile out;
  out.file = open_memstream(&written, &written_size);
  out.buffer = std::move(buffer);
  FILE* in = OpenBytes(input);
  ChunkReader reader;
  InitChunkReader(&reader, in, LineEnds::kSettle, read_size);
  RepairStream(&reader, &out);
  std::fclose(in);
  FlushOutputFile(&out);
  FUZZ_CHECK(!out.write_error && std::fclose(out.file) == 0);
  buffer = std::move(out.buffer);
  const std::string output(written, written_size);
  std::free(written);

  const std::string prefix = "UNK_MEMBER_";
  size_t at = 0;
  for (const std::string& chunk : ChunksOf(input, input.size() + 1)) {
    const bool bare =
        chunk.compare(0, 3, "<0x") == 0 || chunk.compare(0, 3, "</0") == 0;
    const size_t offset = chunk[1] == '/' ? 2 : 1;
    const std::string expected =
        bare ? chunk.substr(0, offset) + prefix + chunk.substr(offset) : chunk;
    FUZZ_CHECK(output.compare(at, expected.size(), expected) == 0);
    at += expected.size();
  }
  FUZZ_CHECK(at == output.size());
  return 0;
}
