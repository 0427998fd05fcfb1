#include "passes/dehash_file.h"

#include <cstdio>

#include "common/platform.h"
#include "common/print_message.h"
#include "names/dehash_token.h"

namespace {

constexpr std::string_view kMemberPrefix = "UNK_MEMBER_0x";
constexpr std::string_view kValueMarker = ">0x";

// Bytes that end a member token, and bytes that end a value token.
constexpr std::string_view kMemberStops = ">/\n \t";
constexpr std::string_view kValueStops = "</\n \t";

size_t TokenLength(std::string_view text, size_t start,
                   std::string_view stops) {
  size_t end = text.find_first_of(stops, start);
  return (end == std::string_view::npos ? text.size() : end) - start;
}

// Resolves the token at `start` of *text, if `names` knows it, by rewriting
// *text into *scratch. Returns whether the text changed.
bool ResolveTokenAt(const NameTable& names, size_t start,
                    std::string_view stops, std::string_view* text,
                    std::string* scratch) {
  std::string_view token =
      text->substr(start, TokenLength(*text, start, stops));
  TokenMatch match = DehashToken(names, token);
  if (!match.resolved) return false;
  if (text->data() != scratch->data()) scratch->assign(*text);
  scratch->replace(start, match.hash_length, match.name);
  *text = *scratch;
  return true;
}

}  // namespace

std::string DehashedPath(const std::string& path) {
  size_t at = path.size() < 4 ? 0 : path.size() - 4;
  return path.substr(0, at) + "_dehashed" + path.substr(at);
}

std::string_view DehashChunk(const NameTable& names, std::string_view chunk,
                             std::string* scratch) {
  std::string_view text = chunk;
  // Both member searches start at the chunk's start: when the first token
  // stays as it is, the second search would only find it again.
  for (int pass = 0; pass < 2; ++pass) {
    size_t at = text.find(kMemberPrefix);
    if (at == std::string_view::npos ||
        !ResolveTokenAt(names, at, kMemberStops, &text, scratch)) {
      break;
    }
  }
  size_t marker = text.find(kValueMarker);
  if (marker != std::string_view::npos) {
    ResolveTokenAt(names, marker + 1, kValueStops, &text, scratch);
  }
  return text;
}

void DehashStream(const NameTable& names, ChunkReader* in, OutputFile* out) {
  std::string scratch;
  scratch.reserve(kMaxDehashedChunk);
  std::string_view chunk;
  while (ReadChunk(in, &chunk)) {
    WriteOutput(out, DehashChunk(names, chunk, &scratch));
  }
}

void DehashFile(const std::string& path, const NameTable& names) {
  FILE* input = OpenForReading(path);
  if (input == nullptr) {
    PrintMessage("ERROR: Could not open file %s\n", path.c_str());
    return;
  }
  std::string output_path = DehashedPath(path);
  OutputFile output;
  if (!OpenOutputFile(&output, output_path)) {
    PrintMessage(
        "ERROR: Could not create file %s, check your folder write "
        "permissions.\n",
        output_path.c_str());
    std::fclose(input);
    return;
  }
  ChunkReader reader;
  InitChunkReader(&reader, input);
  DehashStream(names, &reader, &output);
  std::fclose(input);
  bool written = CloseOutputFile(&output, /*sync_to_disk=*/false);
  // An incomplete copy must not pass for a finished one.
  if (reader.read_error) {
    PrintMessage("ERROR: Could not read file %s\n", path.c_str());
    std::remove(output_path.c_str());
  } else if (!written) {
    PrintMessage("ERROR: Could not write file %s\n", output_path.c_str());
    std::remove(output_path.c_str());
  }
}
