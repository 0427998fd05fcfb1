// Writes seeded benchmark data: word lists and a data file shaped like real
// hashed XML.
//
//   make_bench_data OUT_DIR NAMES BYTES uniform|local|hunt [SEED]
//
// OUT_DIR gets MemberNames.txt (NAMES names), ArchiveItems.txt (NAMES / 4
// items) and data.ymt of about BYTES bytes. In data.ymt 70 % of the hashes
// are known; "uniform" draws them from the whole lists, "local" from a few
// thousand, with a skew, as real files do.
//
// "hunt" writes instead a folder OUT_DIR/files of about BYTES bytes in
// files of 4 to 60 KB, for the name hunt, and OUT_DIR/hidden.txt, the names
// that the lists lack ("0x%08X<TAB>name<TAB>member|archive"). Each file
// fills records of one of a few hundred kinds, each kind a set of member
// names; some of those are missing from the lists, and stand in the same
// files only as relatives of their neighbours: a numbered sibling
// (slotName03 beside slotName01 and slotName02) or a join of two neighbours'
// parts (lodDistanceFar beside lodDistance and farClip). Records refer by
// archive hash to assets, which some files define by name in plain text; a
// share of those names is missing from the lists too. A few hashes have no
// name to be found.

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "names/name_hash.h"

namespace {

const char* const kSyllables[] = {
    "ba",  "ce",  "di",  "fo",  "gu",  "ha",  "je",  "ki",  "lo",  "mu",  "na",
    "pe",  "qui", "ra",  "se",  "ti",  "vo",  "wa",  "xe",  "yo",  "za",  "tor",
    "mer", "lin", "sta", "pro", "gra", "vel", "dat", "pos", "rot", "spa", "wn"};
const char* const kWords[] = {
    "position", "rotation", "scale",  "flags",  "name",   "model",
    "handling", "speed",    "weight", "count",  "offset", "radius",
    "type",     "index",    "color",  "target", "entity", "archetype",
    "spawn",    "point",    "extent", "bounds"};

using Random = std::mt19937_64;

size_t Pick(Random& random, size_t n) { return random() % n; }

std::string Word(Random& random) {
  if (Pick(random, 2) == 0) return kWords[Pick(random, std::size(kWords))];
  std::string word;
  for (size_t i = 0, n = 1 + Pick(random, 3); i < n; ++i) {
    word += kSyllables[Pick(random, std::size(kSyllables))];
  }
  return word;
}

// An identifier of 5 to 40 bytes in camelCase, PascalCase or snake_case.
std::string Identifier(Random& random) {
  int style = static_cast<int>(Pick(random, 3));
  std::string name;
  for (size_t parts = 1 + Pick(random, 4); name.size() < 40 && parts > 0;
       --parts) {
    std::string word = Word(random);
    if (style == 2) {
      if (!name.empty()) name += '_';
    } else if (style == 1 || !name.empty()) {
      word[0] = static_cast<char>(word[0] - 'a' + 'A');
    }
    name += word;
  }
  if (name.size() > 40) name.resize(40);
  while (name.size() < 5) name += static_cast<char>('0' + Pick(random, 10));
  if (Pick(random, 8) == 0 && name.size() < 38) {
    name += std::to_string(Pick(random, 100));
  }
  return name;
}

struct HashSource {
  std::vector<uint32_t> known;  // the hashes the lists give
  std::vector<uint32_t> pool;   // local shape: the hashes this file uses
  bool local = false;
};

uint32_t DrawHash(Random& random, const HashSource& source) {
  if (source.local) {
    // Zipf-like: low indexes far more often than high ones.
    double u = std::uniform_real_distribution<double>(0, 1)(random);
    size_t index = static_cast<size_t>(std::pow(u, 3) * source.pool.size());
    return source.pool[index < source.pool.size() ? index : 0];
  }
  if (Pick(random, 10) < 7)
    return source.known[Pick(random, source.known.size())];
  return static_cast<uint32_t>(random());
}

std::string Hex(uint32_t hash) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08" PRIX32, hash);
  return text;
}

void WriteLine(FILE* out, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), out);
  std::fputc('\n', out);
}

// A member name in camelCase of one to three words.
std::string MemberName(Random& random) {
  std::string name = Word(random);
  for (size_t i = Pick(random, 3); i > 0; --i) {
    std::string word = Word(random);
    word[0] = static_cast<char>(word[0] - 'a' + 'A');
    name += word;
  }
  return name;
}

// The parts that the hunt data's names are made of: tens of thousands, a
// few of them far more common than the rest, as in real word lists.
std::vector<std::string> MakeParts(Random& random) {
  std::vector<std::string> parts;
  for (size_t i = 0; i < 30000; ++i) {
    std::string part;
    for (size_t n = 1 + Pick(random, 3); n > 0; --n) {
      part += kSyllables[Pick(random, std::size(kSyllables))];
    }
    parts.push_back(part);
  }
  return parts;
}

// A part drawn with a skew: low indexes far more often than high ones.
const std::string& CommonPart(Random& random,
                              const std::vector<std::string>& parts) {
  const double u = std::uniform_real_distribution<double>(0, 1)(random);
  return parts[static_cast<size_t>(std::pow(u, 3) * (parts.size() - 1))];
}

std::string Capitalized(std::string word) {
  word[0] = static_cast<char>(word[0] - 'a' + 'A');
  return word;
}

// A name of one to four common parts, in camelCase, PascalCase or
// snake_case.
std::string PartsName(Random& random, const std::vector<std::string>& parts) {
  const size_t style = Pick(random, 3);
  std::string name;
  for (size_t i = 0, n = 1 + Pick(random, 4); i < n; ++i) {
    const std::string& part = CommonPart(random, parts);
    if (style == 2) {
      name += (i > 0 ? "_" : "") + part;
    } else {
      name += style == 1 || i > 0 ? Capitalized(part) : part;
    }
  }
  return name;
}

// The first word of a camelCase name, capitalized: what a join takes of it.
std::string FirstPartCapitalized(const std::string& name) {
  size_t end = 1;
  while (end < name.size() && !(name[end] >= 'A' && name[end] <= 'Z')) ++end;
  std::string part = name.substr(0, end);
  part[0] = static_cast<char>(part[0] - 'a' + 'A');
  return part;
}

std::string Number(size_t n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02zu", n);
  return text;
}

// The hunt's data set (see the file's comment).
int MakeHuntData(const std::string& dir, size_t names, size_t bytes,
                 Random& random) {
  FILE* members = std::fopen((dir + "/MemberNames.txt").c_str(), "wb");
  FILE* items = std::fopen((dir + "/ArchiveItems.txt").c_str(), "wb");
  FILE* hidden = std::fopen((dir + "/hidden.txt").c_str(), "wb");
  if (!members || !items || !hidden) {
    std::perror(dir.c_str());
    return 1;
  }
  auto hide = [&](const std::string& name, bool archive) {
    std::fprintf(hidden, "%s\t%s\t%s\n",
                 Hex(archive ? ArchiveItemHash(name) : NameHash(name)).c_str(),
                 name.c_str(), archive ? "archive" : "member");
  };
  // The kinds of records: ten member names each, one or two of them hidden,
  // and in a kind of two a word that the lists hold only as a part of their
  // names, or two such parts joined.
  const std::vector<std::string> parts = MakeParts(random);
  std::vector<std::vector<std::string>> kinds(300);
  for (auto& kind : kinds) {
    for (size_t i = 0; i < 8; ++i) kind.push_back(MemberName(random));
    const std::string slot = MemberName(random);
    kind.push_back(slot + Number(1));
    kind.push_back(slot + Number(2));
    for (const std::string& name : kind) WriteLine(members, name);
    if (Pick(random, 2) == 0) {
      kind.push_back(slot + Number(3 + Pick(random, 20)));
      hide(kind.back(), false);
    }
    if (Pick(random, 2) == 0) {
      kind.push_back(kind[Pick(random, 4)] +
                     FirstPartCapitalized(kind[4 + Pick(random, 4)]));
      hide(kind.back(), false);
    }
    if (Pick(random, 2) == 0) {
      const std::string& part = CommonPart(random, parts);
      const std::string& other = CommonPart(random, parts);
      const std::string shapes[] = {part, Capitalized(part),
                                    part + Capitalized(other),
                                    part + "_" + other};
      kind.push_back(shapes[Pick(random, std::size(shapes))]);
      hide(kind.back(), false);
    }
    if (Pick(random, 4) == 0) {  // a name with no relatives
      kind.push_back(MemberName(random) + "Zq");
      hide(kind.back(), false);
    }
  }
  // Assets, in families of numbered siblings; a sixth of them are missing
  // from the lists. Those of two families in three are defined by name in
  // the first files; the others only their siblings tell.
  std::vector<std::vector<std::string>> families(800);
  std::vector<std::string> defined_assets;
  for (size_t f = 0; f < families.size(); ++f) {
    std::string stem = "Prop_" + Word(random) + "_" + Word(random) + "_";
    stem[5] = static_cast<char>(stem[5] - 'a' + 'A');
    for (size_t k = 1, n = 2 + Pick(random, 7); k <= n; ++k) {
      families[f].push_back(stem + Number(k));
      if (Pick(random, 6) == 0) {
        hide(families[f].back(), true);
      } else {
        WriteLine(items, families[f].back());
      }
      if (f % 3 != 0) defined_assets.push_back(families[f].back());
    }
  }
  // The lists' own names, all of common parts. A hidden name that one of
  // them happens to be is no longer hidden; hidden.txt still lists it, and
  // the hunt's finds are checked against it only where they differ.
  for (size_t i = 0; i < names; ++i) {
    WriteLine(members, PartsName(random, parts));
  }
  for (size_t i = 0; i < names / 4; ++i) {
    WriteLine(items, PartsName(random, parts));
  }
  // The files, and in the first few hundred the assets' definitions.
  WriteLine(members, "assetName");
  const std::string name_tag = "UNK_MEMBER_" + Hex(NameHash("assetName"));
  size_t written = 0, defined = 0;
  for (size_t file = 0; written < bytes; ++file) {
    char path[64];
    std::snprintf(path, sizeof path, "/files/f%05zu.ymt", file);
    FILE* out = std::fopen((dir + path).c_str(), "wb");
    if (out == nullptr) {
      std::perror(path);
      return 1;
    }
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data>\n";
    for (size_t i = 0; i < 20 && defined < defined_assets.size(); ++i) {
      text += "  <" + name_tag + ">" + defined_assets[defined++] + "</" +
              name_tag + ">\n";
    }
    const auto& kind = kinds[Pick(random, kinds.size())];
    // A file refers to the assets of a few families.
    std::vector<std::string> assets;
    for (size_t i = 0; i < 3; ++i) {
      const auto& family = families[Pick(random, families.size())];
      assets.insert(assets.end(), family.begin(), family.end());
    }
    const size_t size = 4096 + Pick(random, 60 * 1024);
    while (text.size() < size) {
      text += "  <Item>\n";
      for (const std::string& member : kind) {
        const std::string tag = "UNK_MEMBER_" + Hex(NameHash(member));
        text += "    <" + tag + ">";
        text += Pick(random, 3) == 0
                    ? Hex(ArchiveItemHash(assets[Pick(random, assets.size())]))
                    : std::to_string(Pick(random, 1000)) + ".5";
        text += "</" + tag + ">\n";
      }
      text += "  </Item>\n";
    }
    text += "</data>\n";
    std::fwrite(text.data(), 1, text.size(), out);
    if (std::fclose(out) != 0) return 1;
    written += text.size();
  }
  return std::fclose(members) == 0 && std::fclose(items) == 0 &&
                 std::fclose(hidden) == 0
             ? 0
             : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(
        stderr,
        "usage: make_bench_data OUT_DIR NAMES BYTES uniform|local|hunt "
        "[SEED]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const size_t names = std::strtoull(argv[2], nullptr, 10);
  const size_t bytes = std::strtoull(argv[3], nullptr, 10);
  const std::string shape = argv[4];
  Random random(argc > 5 ? std::strtoull(argv[5], nullptr, 10) : 1);
  if (shape == "hunt") return MakeHuntData(dir, names, bytes, random);

  HashSource source;
  source.local = shape == "local";
  FILE* members = std::fopen((dir + "/MemberNames.txt").c_str(), "wb");
  FILE* items = std::fopen((dir + "/ArchiveItems.txt").c_str(), "wb");
  FILE* data = std::fopen((dir + "/data.ymt").c_str(), "wb");
  if (!members || !items || !data) {
    std::perror(dir.c_str());
    return 1;
  }
  for (size_t i = 0; i < names; ++i) {
    std::string name = Identifier(random);
    WriteLine(members, name);
    source.known.push_back(NameHash(name));
  }
  for (size_t i = 0; i < names / 4; ++i) {
    std::string item = Identifier(random);
    WriteLine(items, item);
    source.known.push_back(ArchiveItemHash(item));
  }
  if (source.local) {
    for (size_t i = 0; i < 4000; ++i) {
      source.pool.push_back(
          Pick(random, 10) < 7 ? source.known[Pick(random, source.known.size())]
                               : static_cast<uint32_t>(random()));
    }
  }

  auto member = [&] { return "UNK_MEMBER_" + Hex(DrawHash(random, source)); };
  std::vector<std::string> open_tags;
  size_t written = 0;
  WriteLine(data, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  while (written < bytes) {
    std::string indent(2 * open_tags.size(), ' ');
    std::string line;
    size_t kind = Pick(random, 200);
    if (kind < 5) {
      // A bare hexadecimal tag at the line start, as broken files have.
      uint32_t hash = DrawHash(random, source);
      line = Pick(random, 2) ? "<" + Hex(hash) + ">" + std::to_string(kind) +
                                   "</" + Hex(hash) + ">"
                             : "</" + Hex(hash) + ">";
    } else if (kind < 10) {
      // Longer than a chunk: many attributes on one element.
      line = indent + "<" + member();
      while (line.size() < 100 + Pick(random, 150)) {
        line += " " + member() + "=\"" + std::to_string(random() % 1000) + "\"";
      }
      line += " />";
    } else if (kind < 50 && open_tags.size() < 12) {
      std::string tag = member();
      line = indent + "<" + tag + ">";
      open_tags.push_back(tag);
    } else if (kind < 80 && !open_tags.empty()) {
      line = std::string(2 * (open_tags.size() - 1), ' ') + "</" +
             open_tags.back() + ">";
      open_tags.pop_back();
    } else if (kind < 120) {
      std::string tag = member();
      line = indent + "<" + tag + ">" + Hex(DrawHash(random, source)) + "</" +
             tag + ">";
    } else if (kind < 150) {
      line = indent + "<Item type=\"" + member() + "\">";
      open_tags.push_back("Item");
    } else if (kind < 175) {
      line = indent + "<" + member() + " value=\"" +
             std::to_string(random() % 10000) + ".5\" />";
    } else {
      std::string tag = member();
      line = indent + "<" + tag + ">some text " +
             std::to_string(random() % 100000) + "</" + tag + ">";
    }
    WriteLine(data, line);
    written += line.size() + 1;
  }
  while (!open_tags.empty()) {
    WriteLine(data, "</" + open_tags.back() + ">");
    open_tags.pop_back();
  }
  bool ok = std::fclose(members) == 0 && std::fclose(items) == 0 &&
            std::fclose(data) == 0;
  return ok ? 0 : 1;
}
