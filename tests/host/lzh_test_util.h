// Helpers shared by the LZH tests: running lzhdec, reading whole trees back.
#ifndef SFX_TESTS_HOST_LZH_TEST_UTIL_H
#define SFX_TESTS_HOST_LZH_TEST_UTIL_H

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tool_run.h"

namespace lzhtest {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

inline const std::string kCorpus = SFX_SOURCE_DIR "/../shared/lzh-corpus";

// A file or folder of the corpus, which lies outside the checkout.
#define REQUIRE_CORPUS(path) \
  REQUIRE_PRESENT(::lzhtest::fs::exists(path), "no " + std::string(path), "the LZH corpus belongs at " + ::lzhtest::kCorpus)

inline ToolRun Lzhdec(const std::string& verb, const std::string& archive, const std::string& folder = "") {
  std::string line = std::string(LZHDEC_PATH) + " " + verb + " " + Quote(archive);
  if (!folder.empty()) line += " " + Quote(folder);
  return Sh(line);
}

inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

// Relative path (lower-cased when asked) -> contents, "<dir>" for folders.
// Symbolic links are left out: neither side is meant to make them.
using Tree = std::map<std::string, std::string>;

inline Tree ReadTree(const std::string& root, bool foldCase) {
  Tree tree;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    std::string rel = fs::relative(it->path(), root).string();
    if (foldCase) std::transform(rel.begin(), rel.end(), rel.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    if (it->is_symlink()) continue;
    if (it->is_directory()) {
      tree[rel] = "<dir>";
    } else {
      Bytes b = ReadAll(it->path().string());
      tree[rel] = std::string(b.begin(), b.end());
    }
  }
  return tree;
}

}  // namespace lzhtest

#endif  // SFX_TESTS_HOST_LZH_TEST_UTIL_H
