// Runs a command line as a user would and keeps what it printed.
#ifndef SFX_TESTS_HOST_TOOL_RUN_H
#define SFX_TESTS_HOST_TOOL_RUN_H

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>
#include <string>

struct ToolRun {
  int code;
  std::string out;  // stdout and stderr together
};

inline ToolRun Sh(const std::string& command) {
  ToolRun run{-1, {}};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) != 0) run.out.append(buffer, got);
  int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A fresh folder for each test, with a 512-byte stand-in stub program and
// the author's folder "app" to fill.
class SfxbuildFolderTest : public ::testing::Test {
 protected:
  static constexpr size_t kStubSize = 512;

  void SetUp() override {
    char pattern[] = "/tmp/sfxbuild-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::ofstream(Path("stub.exe"), std::ios::binary) << std::string(kStubSize, 'S');
  }
  void TearDown() override { Sh("rm -rf '" + dir_ + "'"); }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // A file below "app".
  void Put(const std::string& relative, const std::string& content) {
    std::string path = Path("app/" + relative);
    Sh("mkdir -p \"$(dirname '" + path + "')\"");
    std::ofstream(path, std::ios::binary) << content;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string dir_;
};

#endif  // SFX_TESTS_HOST_TOOL_RUN_H
