// Helpers shared by the LZH tests: temporary folders, running tools,
// reading whole trees back.
#ifndef SFX_TESTS_HOST_LZH_TEST_UTIL_H
#define SFX_TESTS_HOST_LZH_TEST_UTIL_H

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace lzhtest {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

inline const std::string kCorpus = SFX_SOURCE_DIR "/../shared/lzh-corpus";

struct ToolRun {
  int code;
  std::string out;
};

// Runs a shell command line, output and errors together.
inline ToolRun Shell(const std::string& line) {
  ToolRun run{-1, {}};
  FILE* pipe = popen((line + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) != 0) run.out.append(buffer, got);
  int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline ToolRun Lzhdec(const std::string& verb, const std::string& archive, const std::string& folder = "") {
  std::string line = std::string(LZHDEC_PATH) + " " + verb + " " + Quote(archive);
  if (!folder.empty()) line += " " + Quote(folder);
  return Shell(line);
}

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/lzh-test-XXXXXX";
    if (mkdtemp(pattern)) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

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
