#include "passes/hunt_scan.h"

#include <string_view>
#include <vector>

#include "common/chunk_reader.h"
#include "common/files.h"
#include "names/dehash_token.h"
#include "names/name_hash.h"
#include "names/name_variants.h"
#include "names/text_words.h"
#include "passes/complete_repair.h"

namespace {

// Hands `visitor` the words and tokens of all of `in`. A run of word bytes
// longer than a name is passed over. Returns false if a read failed.
bool VisitStream(ChunkReader* in, WordVisitor* visitor) {
  char before = '\0';  // the byte before the view
  size_t want = 1;
  bool passing_over = false;  // the rest of a run that is too long
  for (;;) {
    std::string_view view;
    const bool last = PeekBytes(in, want, &view);
    want = 1;
    size_t start = 0;
    if (passing_over) {
      while (start < view.size() && IsWordByte(view[start])) ++start;
      passing_over = start == view.size() && !last;
      if (passing_over) {
        ConsumeBytes(in, view.size());
        continue;
      }
    }
    size_t end = view.size();
    if (!last) {
      // Up to the last byte that ends a run: no run is cut.
      while (end > start && IsWordByte(view[end - 1])) --end;
      if (end == start) {
        // The view is one run: read on, unless it is too long already.
        passing_over = view.size() > kMaxNameLength;
        if (passing_over) ConsumeBytes(in, view.size());
        want = passing_over ? 1 : view.size() + 1;
        continue;
      }
    }
    VisitWords(view.substr(start, end - start),
               start > 0 ? view[start - 1] : before, visitor);
    if (last) return !in->read_error;
    before = view[end - 1];
    ConsumeBytes(in, end);
    want = view.size() - end + 1;
  }
}

// What a data file holds for the hunt.
class DataFileGather : public WordVisitor {
 public:
  DataFileGather(const NameTable& names, NameHunt* hunt)
      : names_(names), hunt_(hunt) {}

  void Word(std::string_view word) override {
    const uint32_t hash = NameHash(word);
    if (!seen_.Add(hash)) return;
    InsertName(&hunt_->data_words, hash, word);
    words_.emplace_back(word);
  }

  void Token(std::string_view token) override {
    // Most tokens are the common eight digits after their marker; the
    // tokens of a file repeat, and each hash is looked up once.
    const size_t marker =
        token[0] == kMemberMarker[0] ? kMemberMarker.size() : 2;
    TokenHash parsed;
    if (token.size() == marker + 8 &&
        ReadEightHexDigits(token.data() + marker, &parsed.hash)) {
      parsed.looked_up = parsed.has_hash = true;
    } else {
      parsed = ParseToken(token);
    }
    // Where the hash stands tells what kind of name it is: the variants of
    // member names are tried on member hashes, those of values on values.
    const int place = marker == 2 ? kValue : kMember;
    if (!parsed.looked_up || !tokens_seen_[place].Add(parsed.hash)) return;
    std::string_view name;
    if (FindName(names_, parsed.hash, &name)) {
      if (seen_.Add(NameHash(name))) known_[place].push_back(name);
    } else if (parsed.has_hash) {
      unknown_[place].push_back(parsed.hash);
    }
  }

  // Tries the file's variants against its unknown hashes: those of the
  // names of each place, then of its words, against the hashes of the same
  // place. What they match is kept aside, to be offered once the surer
  // words have had their share of the budget. Pairs are joined only for member
  // names: values are mostly names of things, which seldom join two others.
  void TryFileVariants() {
    for (int place : {kMember, kValue}) {
      if (unknown_[place].empty()) continue;
      HashTargets targets;
      MakeHashTargets(unknown_[place], &targets);
      std::vector<std::string_view> pool(known_[place]);
      pool.insert(pool.end(), words_.begin(), words_.end());
      std::vector<VariantMatch> matches;
      const uint64_t tried = TryVariants(pool, targets, place == kMember,
                                         &matches, &hunt_->variant_scratch);
      VariantBatch batch;
      batch.tries = static_cast<double>(tried) *
                    static_cast<double>(targets.sorted.size());
      for (VariantMatch& match : matches) {
        batch.hashes.push_back(match.hash);
        batch.finds.push_back(
            HuntFind{std::move(match.name), false, HuntSource::kVariant});
      }
      hunt_->variants.push_back(std::move(batch));
    }
  }

 private:
  const NameTable& names_;
  NameHunt* hunt_;
  SeenHashes seen_;            // of the names and words
  SeenHashes tokens_seen_[2];  // of the hashes in each place
  enum { kMember, kValue };
  std::vector<std::string_view> known_[2];  // in the name table
  std::vector<std::string> words_;
  std::vector<uint32_t> unknown_[2];
};

// The words of any file.
class WordGather : public WordVisitor {
 public:
  explicit WordGather(NameTable* words) : words_(words) {}
  void Word(std::string_view word) override {
    InsertName(words_, NameHash(word), word);
  }
  void Token(std::string_view /*token*/) override {}

 private:
  NameTable* words_;
};

}  // namespace

bool HuntDataFile(const std::string& path, const NameTable& names,
                  NameHunt* hunt, bool repair) {
  FILE* input = OpenForReading(path);
  if (input == nullptr) return false;
  ChunkReader reader;
  InitChunkReader(&reader, input, LineEnds::kKeep);
  if (repair) RepairOnRead(&reader);
  DataFileGather gather(names, hunt);
  const bool read = VisitStream(&reader, &gather);
  CloseInput(input);
  if (read) gather.TryFileVariants();
  return read;
}

bool CollectWords(FILE* file, NameTable* words) {
  ChunkReader reader;
  InitChunkReader(&reader, file, LineEnds::kKeep);
  WordGather gather(words);
  return VisitStream(&reader, &gather);
}
