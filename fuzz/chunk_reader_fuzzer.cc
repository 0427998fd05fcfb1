// The chunk reader: any read size gives the chunks one large read gives, and
// the chunks are the input, cut by the rules, with each CR LF settled.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t read_size = 1 + data[0] % 128;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::vector<std::string> chunks = ChunksOf(input, input.size() + 1);
  FUZZ_CHECK(ChunksOf(input, read_size) == chunks);

  std::string joined;
  for (size_t i = 0; i < chunks.size(); ++i) {
    const std::string& chunk = chunks[i];
    FUZZ_CHECK(!chunk.empty() && chunk.size() <= kMaxChunkLength);
    // A line feed only ends a chunk; a chunk without one is a full piece of
    // a long line, or the input's last.
    FUZZ_CHECK(chunk.find('\n') == std::string::npos ||
               chunk.find('\n') == chunk.size() - 1);
    FUZZ_CHECK(chunk.back() == '\n' || chunk.size() == kMaxChunkLength ||
               i + 1 == chunks.size());
    joined += chunk;
  }
  FUZZ_CHECK(joined == Settled(input));
  return 0;
}
