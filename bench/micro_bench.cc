// Micro-benchmarks of the hot pieces, each reporting bytes per second.
//
// By default they make their own data: word lists of QUORVANTIDE_BENCH_NAMES
// names (default 1,000,000) and a data file of 400,000 lines. Set
// QUORVANTIDE_BENCH_DATA to a folder that make_bench_data wrote to time the
// list load and the passes on it instead. For a quick smoke run:
//   QUORVANTIDE_BENCH_NAMES=1000 micro_bench --benchmark_min_time=0.001

#include <benchmark/benchmark.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/chunk_reader.h"
#include "common/output_file.h"
#include "names/dehash_token.h"
#include "names/hash_name_map.h"
#include "names/name_hash.h"
#include "passes/complete_dehash.h"
#include "passes/complete_repair.h"
#include "passes/default_dehash.h"
#include "passes/dehash_in_blocks.h"
#include "passes/repair_in_place.h"

namespace {

namespace fs = std::filesystem;

size_t NameCount() {
  const char* given = std::getenv("QUORVANTIDE_BENCH_NAMES");
  return given ? std::strtoull(given, nullptr, 10) : 1000000;
}

std::string Identifier(std::mt19937& random) {
  static const char* const kParts[] = {"spawn", "Point",  "flags",  "_index",
                                       "Model", "radius", "Target", "ext"};
  std::string name;
  for (int i = 0, n = 1 + random() % 4; i < n; ++i)
    name += kParts[random() % 8];
  return name + std::to_string(random() % 100000);
}

const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    std::mt19937 random(1);
    std::vector<std::string> list;
    for (size_t i = 0, n = NameCount(); i < n; ++i) {
      list.push_back(Identifier(random));
    }
    return list;
  }();
  return names;
}

const NameTable& Table() {
  static const NameTable table = [] {
    NameTable built;
    for (const std::string& name : Names()) {
      InsertName(&built, NameHash(name), name);
    }
    return built;
  }();
  return table;
}

// A folder with the word lists and a data file of hashed XML: the one that
// QUORVANTIDE_BENCH_DATA names (such as one that make_bench_data wrote), or
// else one made here, once.
const fs::path& Folder() {
  static const fs::path folder = [] {
    if (const char* given = std::getenv("QUORVANTIDE_BENCH_DATA")) {
      return fs::path(given);
    }
    // A folder of this run's own, removed when the program ends.
    static struct Scratch {
      fs::path dir =
          fs::temp_directory_path() /
          ("quorvantide-micro-bench-" + std::to_string(std::random_device()()));
      ~Scratch() { fs::remove_all(dir); }
    } scratch;
    const fs::path& dir = scratch.dir;
    fs::create_directories(dir);
    FILE* members =
        std::fopen((dir / "MemberNames.txt").string().c_str(), "wb");
    for (const std::string& name : Names())
      std::fprintf(members, "%s\n", name.c_str());
    std::fclose(members);
    FILE* items = std::fopen((dir / "ArchiveItems.txt").string().c_str(), "wb");
    for (size_t i = 0; i < Names().size() / 4; ++i)
      std::fprintf(items, "%s\n", Names()[i].c_str());
    std::fclose(items);
    std::mt19937 random(2);
    FILE* data = std::fopen((dir / "data.ymt").string().c_str(), "wb");
    const int lines = NameCount() < 1000000 ? 1000 : 400000;
    for (int line = 0; line < lines; ++line) {
      uint32_t member = random() % 10 < 7
                            ? NameHash(Names()[random() % Names().size()])
                            : static_cast<uint32_t>(random());
      uint32_t value = random() % 10 < 7
                           ? NameHash(Names()[random() % Names().size()])
                           : static_cast<uint32_t>(random());
      if (line % 40 == 0) {
        std::fprintf(data, "<0x%08X>1</0x%08X>\n", member, member);
      } else {
        std::fprintf(data,
                     "    <UNK_MEMBER_0x%08X>0x%08X</UNK_MEMBER_0x%08X>\n",
                     member, value, member);
      }
    }
    std::fclose(data);
    return dir;
  }();
  return folder;
}

void BM_NameHash(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    uint32_t sum = 0;
    for (size_t i = 0; i < 1000 && i < Names().size(); ++i) {
      sum += NameHash(Names()[i]);
      bytes += Names()[i].size();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_NameHash);

void BM_LoadWordLists(benchmark::State& state) {
  const fs::path previous = fs::current_path();
  fs::current_path(Folder());
  for (auto _ : state) {
    NameTable table;
    FILE* members = std::fopen("MemberNames.txt", "rb");
    const char* unread = nullptr;
    LoadHashNameMap(members, &table, &unread);
    std::fclose(members);
    benchmark::DoNotOptimize(table.count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(
      state.iterations() *
      (fs::file_size("MemberNames.txt") + fs::file_size("ArchiveItems.txt"))));
  fs::current_path(previous);
}
BENCHMARK(BM_LoadWordLists)->Unit(benchmark::kMillisecond);

void BM_DehashToken(benchmark::State& state) {
  const NameTable& table = Table();
  std::mt19937 random(3);
  std::vector<std::string> tokens;
  for (int i = 0; i < 4096; ++i) {
    char token[32];
    uint32_t hash = random() % 10 < 7
                        ? NameHash(Names()[random() % Names().size()])
                        : static_cast<uint32_t>(random());
    std::snprintf(token, sizeof(token), "UNK_MEMBER_0x%08X", hash);
    tokens.push_back(token);
  }
  size_t bytes = 0;
  for (auto _ : state) {
    for (const std::string& token : tokens) {
      benchmark::DoNotOptimize(DehashToken(table, token));
      bytes += token.size();
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_DehashToken);

// Runs `pass` over the data file with its output going to the null device.
template <typename Pass>
void RunPass(benchmark::State& state, Pass pass,
             LineEnds line_ends = LineEnds::kSettle,
             const char* file = "data.ymt") {
  std::string data = (Folder() / file).string();
  // A folder of our own has no clean copy: its data file stands in.
  if (!fs::exists(data)) data = (Folder() / "data.ymt").string();
  for (auto _ : state) {
    FILE* in = std::fopen(data.c_str(), "rb");
    ChunkReader reader;
    InitChunkReader(&reader, in, line_ends);
    pass(&reader);
    std::fclose(in);
  }
  state.SetBytesProcessed(
      static_cast<int64_t>(state.iterations() * fs::file_size(data)));
}

// The look for a bare tag, on a data file that has none; argument 1: the
// complete look.
void BM_HasBareTag(benchmark::State& state) {
  RunPass(
      state,
      [&](ChunkReader* reader) {
        benchmark::DoNotOptimize(state.range(0) != 0
                                     ? HasBareTagAnywhere(reader)
                                     : HasBareTag(reader));
      },
      LineEnds::kKeep, "clean.ymt");
}
BENCHMARK(BM_HasBareTag)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadChunk(benchmark::State& state) {
  RunPass(state, [](ChunkReader* reader) {
    std::string_view chunk;
    size_t count = 0;
    while (ReadChunk(reader, &chunk)) ++count;
    benchmark::DoNotOptimize(count);
  });
}
BENCHMARK(BM_ReadChunk)->Unit(benchmark::kMillisecond);

#ifdef _WIN32
const char kNullDevice[] = "NUL";
int dup(int fd) { return _dup(fd); }
int dup2(int from, int to) { return _dup2(from, to); }
int close(int fd) { return _close(fd); }
#else
const char kNullDevice[] = "/dev/null";
#endif

// The names of the folder's word lists.
const NameTable& FolderTable() {
  static const NameTable table = [] {
    const fs::path previous = fs::current_path();
    fs::current_path(Folder());
    NameTable loaded;
    FILE* members = std::fopen("MemberNames.txt", "rb");
    const char* unread = nullptr;
    LoadHashNameMap(members, &loaded, &unread);
    std::fclose(members);
    fs::current_path(previous);
    return loaded;
  }();
  return table;
}

// An output to the null device. (OpenOutputFile would replace the device
// with a file of its own: it never writes through what stands at a path.)
OutputFile NullOutput() {
  return OutputFile{std::fopen(kNullDevice, "wb"),
                    std::unique_ptr<char[]>(new char[kOutputBufferSize])};
}

void BM_DehashStream(benchmark::State& state) {
  const NameTable& table = FolderTable();
  RunPass(state, [&](ChunkReader* reader) {
    OutputFile out = NullOutput();
    DehashStream(table, reader, &out);
    CloseOutputFile(&out);
  });
}
BENCHMARK(BM_DehashStream)->Unit(benchmark::kMillisecond);

void BM_CompleteDehashStream(benchmark::State& state) {
  const NameTable& table = FolderTable();
  RunPass(state, [&](ChunkReader* reader) {
    OutputFile out = NullOutput();
    HashCounts counts;
    CompleteDehashStream(table, reader, &out, &counts);
    CloseOutputFile(&out);
  });
}
BENCHMARK(BM_CompleteDehashStream)->Unit(benchmark::kMillisecond);

// Both passes as a data file gets them, over blocks on two threads;
// argument 1: complete mode.
void BM_DehashInBlocks(benchmark::State& state) {
  const NameTable& table = FolderTable();
  RunPass(state, [&](ChunkReader* reader) {
    OutputFile out = NullOutput();
    HashCounts counts;
    DehashInBlocks(
        reader->file, table,
        state.range(0) != 0 ? PassMode::kComplete : PassMode::kDefault, &counts,
        &out);
    CloseOutputFile(&out);
  });
}
BENCHMARK(BM_DehashInBlocks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RepairStream(benchmark::State& state) {
  // The pass announces each repair on standard output, where the results
  // go too: send the announcements to the null device meanwhile.
  std::fflush(stdout);
  int saved = dup(fileno(stdout));
  FILE* null = std::fopen(kNullDevice, "w");
  dup2(fileno(null), fileno(stdout));
  // The repair keeps the file's own line ends.
  RunPass(
      state,
      [&](ChunkReader* reader) {
        OutputFile out = NullOutput();
        if (state.range(0) != 0) {
          CompleteRepairStream(reader, &out);
        } else {
          RepairStream(reader, &out);
        }
        CloseOutputFile(&out);
      },
      LineEnds::kKeep);
  std::fflush(stdout);
  dup2(saved, fileno(stdout));
  close(saved);
  std::fclose(null);
}
// Argument 1: the complete repair.
BENCHMARK(BM_RepairStream)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
