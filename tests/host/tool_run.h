// What the host tests share: running command lines and peer tools as a
// user would, scratch folders, and whole files.
#ifndef SFX_TESTS_HOST_TOOL_RUN_H
#define SFX_TESTS_HOST_TOOL_RUN_H

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct ToolRun {
  int code;
  std::string out;  // stdout and stderr together
};

// Runs a shell command line and keeps what it printed.
inline ToolRun Sh(const std::string& command) {
  ToolRun run{-1, {}};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) != 0) run.out.append(buffer, got);
  int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A word for the shell, whatever it holds.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline bool HaveTool(const std::string& name) { return Sh("command -v " + Quote(name)).code == 0; }

// What `make test` counts on: every peer tool (bootstrap installs them) and
// the shared LZH corpus. It sets SFX_REQUIRE_TOOLS, so something missing
// fails there; a test run by hand without it is skipped and says why.
#define REQUIRE_PRESENT(present, missing, remedy)                          \
  do {                                                                     \
    if (!(present)) {                                                      \
      if (getenv("SFX_REQUIRE_TOOLS")) FAIL() << missing << ": " << remedy; \
      GTEST_SKIP() << missing;                                             \
    }                                                                      \
  } while (0)

// A peer the test compares with (jlha, lhasa, 7zz, gcab, cabextract...).
#define REQUIRE_TOOL(name) \
  REQUIRE_PRESENT(HaveTool(name), std::string(name) + " is not installed", "scripts/bootstrap.sh installs it")

// A fresh folder below /tmp, removed with everything in it when it goes.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/sfx-test-XXXXXX";
    if (mkdtemp(pattern)) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes `bytes` to `path`, making the folders it needs.
inline void WriteText(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

// The builder of this build, run with `arguments`.
inline ToolRun RunSfxbuild(const std::string& arguments) { return Sh(Quote(SFXBUILD_PATH) + " " + arguments); }

// A fresh folder for each test.
class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    dir_ = temp_.path();
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // Writes the file `name`, making the folders it needs; returns its path.
  std::string Write(const std::string& name, const std::string& content) const {
    WriteText(Path(name), content);
    return Path(name);
  }
  static std::string Read(const std::string& path) { return ReadText(path); }

  TempDir temp_;
  std::string dir_;
};

// ... with a 512-byte stand-in stub program and the author's folder "app"
// to fill.
class SfxbuildFolderTest : public ScratchDirTest {
 protected:
  static constexpr size_t kStubSize = 512;

  void SetUp() override {
    ScratchDirTest::SetUp();
    Write("stub.exe", std::string(kStubSize, 'S'));
  }

  // A file below "app".
  void Put(const std::string& relative, const std::string& content) { Write("app/" + relative, content); }
};

#endif  // SFX_TESTS_HOST_TOOL_RUN_H
