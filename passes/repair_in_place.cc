#include "passes/repair_in_place.h"

#include "common/files.h"
#include "common/print_message.h"
#include "common/replacing.h"
#include "names/token_grammar.h"
#include "passes/complete_repair.h"
#include "passes/repair_notice.h"

namespace {

// Chunks looked at per read of the reader.
constexpr size_t kBatchChunks = 64;

}  // namespace

bool HasBareTag(ChunkReader* in) {
  std::string_view chunks[kBatchChunks];
  while (size_t count = ReadChunks(in, chunks, kBatchChunks)) {
    for (size_t i = 0; i < count; ++i) {
      if (BareTagPrefixOffset(chunks[i]) != 0) return true;
    }
  }
  return false;
}

void RepairStream(ChunkReader* in, OutputFile* out) {
  // The chunks of a batch lie one after another in the reader's buffer, so
  // the unchanged ones between two repairs go out in one piece.
  std::string_view chunks[kBatchChunks];
  std::string shown;  // a chunk as text mode reads it, for the message
  while (size_t count = ReadChunks(in, chunks, kBatchChunks)) {
    const char* run = chunks[0].data();
    for (size_t i = 0; i < count; ++i) {
      size_t offset = BareTagPrefixOffset(chunks[i]);
      if (offset == 0) continue;
      ShownAsText(chunks[i], &shown);
      AnnounceRepair(shown);
      const char* insert_at = chunks[i].data() + offset;
      WriteOutput(out, std::string_view(run, insert_at - run));
      WriteOutput(out, kRepairPrefix);
      run = insert_at;
    }
    const std::string_view& last = chunks[count - 1];
    WriteOutput(out, std::string_view(run, last.data() + last.size() - run));
  }
}

RepairResult FixInvalidXml(const std::string& output_path, FILE* input,
                           PassMode mode) {
  OutputFile output;
  // Durable: byte for byte, and on the disk before it can take the data
  // file's place, so that a crash leaves either the old file or the whole
  // new one.
  if (!OpenOutputFile(&output, output_path, /*durable=*/true,
                      /*text=*/false)) {
    PrintMessage(
        "ERROR: Could not create file, check your folder write "
        "permissions.\n");
    return RepairResult::kNotCreated;
  }
  // A copy that might show the data to more users than the data file did
  // must not take its place.
  bool written = CopyOwnerAndPermissions(input, output.file);
  ChunkReader reader;
  InitChunkReader(&reader, input, LineEnds::kKeep);
  if (mode == PassMode::kComplete) {
    CompleteRepairStream(&reader, &output);
  } else {
    RepairStream(&reader, &output);
  }
  written = CloseOutputFile(&output) && written;
  if (reader.read_error) return RepairResult::kReadError;
  return written ? RepairResult::kComplete : RepairResult::kWriteError;
}

void RepairInPlace(const std::string& path, FILE* input, PassMode mode) {
  // Look first: a file with nothing to repair is only read, so that it
  // keeps its bytes, its inode and all it carries, and costs no write.
  ChunkReader reader;
  InitChunkReader(&reader, input, LineEnds::kKeep);
  bool needed = HasBareTagAnywhere(&reader);
  bool readable = !reader.read_error;
  // The default run repairs a tag only at a piece's start. A file with no
  // bare tag anywhere, the common case, is told by the quicker look alone.
  if (needed && readable && mode == PassMode::kDefault) {
    readable = std::fseek(input, 0, SEEK_SET) == 0;
    if (readable) {
      InitChunkReader(&reader, input, LineEnds::kKeep);
      needed = HasBareTag(&reader);
      readable = !reader.read_error;
    }
  }
  reader.buffer.reset();  // the repair reads with a buffer of its own
  readable = readable && (!needed || std::fseek(input, 0, SEEK_SET) == 0);
  if (!needed || !readable) {
    CloseInput(input);
    if (!readable) {
      PrintMessage("ERROR: Could not read file %s\n", path.c_str());
    }
    return;
  }
  const std::string temporary_path = path + "_tmp";
  RepairResult result = FixInvalidXml(temporary_path, input, mode);
  CloseInput(input);
  switch (result) {
    case RepairResult::kComplete:
      // One atomic step: the data file's path is never empty.
      if (!RenameOver(temporary_path, path)) {
        PrintMessage(
            "ERROR: Could not rename file, check your file permissions.\n");
      }
      return;
    case RepairResult::kNotCreated:
      return;
    case RepairResult::kReadError:
      PrintMessage("ERROR: Could not read file %s\n", path.c_str());
      break;
    case RepairResult::kWriteError:
      PrintMessage("ERROR: Could not write file %s\n", temporary_path.c_str());
      break;
  }
  // The failure is reported; should the removal fail too, the incomplete
  // copy stays under the temporary name only, never under the data file's.
  static_cast<void>(RemoveFile(temporary_path));
}
