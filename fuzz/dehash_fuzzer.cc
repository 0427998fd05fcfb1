// The dehash pass. With no names it gives back its input. With names, every
// byte of the input outside the replaced hash texts reaches the output, in
// order, and nothing else changes: each name here is a byte the input never
// holds followed by its index, so the names can be found in the output and
// matched against the hash texts they replaced.

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "names/dehash_token.h"
#include "names/name_table.h"
#include "passes/dehash_file.h"

namespace {

std::string Dehash(const NameTable& names,
                   const std::vector<std::string>& chunks,
                   std::vector<std::string>* per_chunk) {
  std::string scratch, output;
  for (const std::string& chunk : chunks) {
    per_chunk->emplace_back(DehashChunk(names, chunk, &scratch));
    output += per_chunk->back();
  }
  return output;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> chunks = ChunksOf(input, input.size() + 1);

  std::vector<std::string> unchanged;
  FUZZ_CHECK(Dehash(NameTable(), chunks, &unchanged) == Settled(input));

  // The marker byte must be absent from the input, and must be no byte that
  // could join a hash text: no white space, printable character or digit.
  bool usable[256] = {};
  for (int c = 0; c < 256; ++c)
    usable[c] = (c < 0x20 || c >= 0x7f) && c != '\t' && c != '\n' &&
                c != '\v' && c != '\f' && c != '\r';
  for (unsigned char c : input) usable[c] = false;
  int marker = 0;
  while (marker < 256 && !usable[marker]) ++marker;
  if (marker == 256) return 0;

  // Names for the first hashes written in the input, and for 0.
  NameTable names;
  std::vector<uint32_t> hashes;
  for (size_t at = input.find("0x");
       at != std::string::npos && hashes.size() < 16;
       at = input.find("0x", at + 1)) {
    uint32_t value;
    size_t consumed;
    if (ParseHexText(input.substr(at + 2, 40), &value, &consumed) &&
        InsertName(&names, value,
                   std::string{static_cast<char>(marker),
                               static_cast<char>('a' + hashes.size())})) {
      hashes.push_back(value);
    }
  }

  std::vector<std::string> outputs;
  Dehash(names, chunks, &outputs);
  for (size_t c = 0; c < chunks.size(); ++c) {
    const std::string& in = chunks[c];
    const std::string& out = outputs[c];
    size_t i = 0, replaced = 0;
    for (size_t j = 0; j < out.size();) {
      if (static_cast<unsigned char>(out[j]) != marker) {
        FUZZ_CHECK(i < in.size() && in[i] == out[j]);
        ++i, ++j;
        continue;
      }
      // A name: the input holds the hash text it replaced.
      FUZZ_CHECK(j + 1 < out.size());
      const size_t index = static_cast<size_t>(out[j + 1] - 'a');
      FUZZ_CHECK(index < hashes.size());
      const bool member = in.compare(i, 13, "UNK_MEMBER_0x") == 0;
      FUZZ_CHECK(member || in.compare(i, 2, "0x") == 0);
      const size_t prefix = member ? 13 : 2;
      // The hex text is read within its token only.
      const size_t end = in.find_first_of(member ? ">/\n \t" : "</\n \t", i);
      const std::string token =
          in.substr(i, end == std::string::npos ? std::string::npos : end - i);
      uint32_t value;
      size_t consumed;
      FUZZ_CHECK(ParseHexText(token.substr(prefix), &value, &consumed));
      FUZZ_CHECK(value == hashes[index]);
      i += prefix + consumed;
      j += 2;
      ++replaced;
    }
    FUZZ_CHECK(i == in.size());
    FUZZ_CHECK(replaced <= 3);
  }
  return 0;
}
