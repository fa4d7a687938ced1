// Writes the application that the whole-road benchmark installs: a few
// large program and data files that compress about as little as real ones,
// and several hundred small texts in sub-folders. Every byte and every
// date comes from fixed seeds, so each run measures the same files.
//
//   make_app FOLDER
#include <errno.h>
#include <stdio.h>
#include <stdint.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <string>
#include <vector>

namespace {

// xorshift64*: small, fast, and the same on every machine.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>((Next() >> 32) % n); }

 private:
  uint64_t state_;
};

// How a file's bytes are made.
enum class Kind {
  kProgram,  // machine code and tables: skewed bytes, many repeats
  kPacked,   // media that is compressed already
  kText,     // words and lines
};

struct FileSpec {
  std::string path;
  size_t size;
  Kind kind;
};

// Program-like bytes: runs copied from the last 16 KiB (what an LZ coder
// finds in code) between literals in which each bit is set one time in
// four (what its entropy coder finds). gzip and xz pack it to about 55 %.
void FillProgram(Random& random, std::vector<uint8_t>& out, size_t size) {
  while (out.size() < size) {
    size_t run = 16 + random.Below(112);
    if (out.size() > 4096 && random.Below(100) < 35) {
      size_t reach = out.size() < 16384 ? out.size() : 16384;
      size_t from = out.size() - 1 - random.Below(static_cast<uint32_t>(reach - 1));
      for (size_t i = 0; i < run && out.size() < size; ++i) out.push_back(out[from + i]);
    } else {
      for (size_t i = 0; i < run && out.size() < size; ++i) {
        uint64_t a = random.Next(), b = random.Next();
        out.push_back(static_cast<uint8_t>(a & b));
      }
    }
  }
}

void FillPacked(Random& random, std::vector<uint8_t>& out, size_t size) {
  while (out.size() < size) {
    uint64_t word = random.Next();
    for (int i = 0; i < 8 && out.size() < size; ++i, word >>= 8) out.push_back(static_cast<uint8_t>(word));
  }
}

// Text from a fixed vocabulary of made-up words, in lines of a few words,
// CR LF as the kit's Windows files have them.
void FillText(Random& random, std::vector<uint8_t>& out, size_t size) {
  static const char* const kSyllables[] = {"ka", "ri", "to", "ne", "su", "mo", "ya", "shi", "ren", "do",
                                           "ga", "po", "lu", "mi", "te", "sa", "no", "vi", "ke", "ro"};
  constexpr uint32_t kSyllableCount = sizeof kSyllables / sizeof kSyllables[0];
  std::vector<std::string> words;
  Random vocabulary(7);
  for (int w = 0; w < 400; ++w) {
    std::string word;
    for (uint32_t s = 1 + vocabulary.Below(3); s != 0; --s) word += kSyllables[vocabulary.Below(kSyllableCount)];
    words.push_back(word);
  }
  size_t column = 0;
  while (out.size() < size) {
    // A skewed choice: the common words come back often, as in prose.
    uint32_t pick = random.Below(400);
    pick = pick * pick / 400;
    const std::string& word = words[pick];
    for (char c : word) out.push_back(static_cast<uint8_t>(c));
    column += word.size();
    if (column > 60 + random.Below(20)) {
      out.push_back('\r');
      out.push_back('\n');
      column = 0;
    } else {
      out.push_back(' ');
      ++column;
    }
  }
  out.resize(size);
}

std::vector<FileSpec> Layout() {
  std::vector<FileSpec> files = {
      {"bin/BenchApp.exe", 6 << 20, Kind::kProgram},   {"bin/engine.dll", 13 << 20, Kind::kProgram},
      {"bin/media.dll", 8 << 20, Kind::kProgram},      {"bin/render.dll", 7 << 20, Kind::kProgram},
      {"bin/script.dll", 4 << 20, Kind::kProgram},     {"data/assets.pak", 12 << 20, Kind::kPacked},
      {"data/fonts.pak", 5 << 20, Kind::kPacked},      {"bin/plugins/import.dll", 700 << 10, Kind::kProgram},
      {"bin/plugins/export.dll", 500 << 10, Kind::kProgram},
  };
  Random sizes(11);
  static const char* const kLanguages[] = {"de", "en", "es", "fr", "it", "ja", "ko", "nl", "pl", "pt",
                                           "ru", "sv", "tr", "zh", "cs", "da", "fi", "hu", "no", "uk"};
  for (const char* language : kLanguages)
    for (int i = 0; i < 12; ++i)
      files.push_back({std::string("res/lang/") + language + "/strings" + std::to_string(i) + ".txt",
                       2000 + sizes.Below(9000), Kind::kText});
  for (int i = 0; i < 160; ++i)
    files.push_back({"data/levels/level" + std::to_string(i) + ".xml", 3000 + sizes.Below(20000), Kind::kText});
  for (int i = 0; i < 90; ++i)
    files.push_back({"scripts/module" + std::to_string(i) + ".lua", 1000 + sizes.Below(12000), Kind::kText});
  for (int i = 0; i < 60; ++i)
    files.push_back({"doc/html/page" + std::to_string(i) + ".html", 4000 + sizes.Below(30000), Kind::kText});
  for (int i = 0; i < 80; ++i)
    files.push_back({"res/icons/icon" + std::to_string(i) + ".ico", 1000 + sizes.Below(6000), Kind::kPacked});
  files.push_back({"doc/readme.txt", 9000, Kind::kText});
  files.push_back({"doc/license.txt", 18000, Kind::kText});
  return files;
}

bool MakeParents(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string folder = path.substr(0, slash);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: make_app FOLDER\n");
    return 2;
  }
  const std::string root = argv[1];
  // One fixed date for every file: the archives carry it.
  const struct timeval kDate[2] = {{978307200, 0}, {978307200, 0}};  // 2001-01-01
  std::vector<uint8_t> bytes;
  uint64_t seed = 1;
  for (const FileSpec& file : Layout()) {
    std::string path = root + "/" + file.path;
    Random random(seed++);
    bytes.clear();
    bytes.reserve(file.size);
    switch (file.kind) {
      case Kind::kProgram: FillProgram(random, bytes, file.size); break;
      case Kind::kPacked: FillPacked(random, bytes, file.size); break;
      case Kind::kText: FillText(random, bytes, file.size); break;
    }
    FILE* out = MakeParents(path) ? fopen(path.c_str(), "wb") : nullptr;
    bool written = out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out && fclose(out) != 0) written = false;
    if (!written || utimes(path.c_str(), kDate) != 0) {
      fprintf(stderr, "make_app: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
