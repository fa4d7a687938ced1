// The README's road on an installed kit: `make install` into a fresh
// prefix, then sfxbuild from there packs a folder in every format without
// being told where its stubs are, and checks what it made.
#include <gtest/gtest.h>

#include <filesystem>

#include "tool_run.h"

namespace {

namespace fs = std::filesystem;

class InstalledKit : public ::testing::Test {
 protected:
  // One install serves every test: it builds both trees when they are stale.
  static void SetUpTestSuite() {
    prefix_ = new TempDir;
    ToolRun install = Sh("make -s -C " + Quote(SFX_SOURCE_DIR) + " install PREFIX=" + Quote(prefix_->path()));
    installed_ = install.code == 0;
    if (!installed_) fprintf(stderr, "make install failed:\n%s\n", install.out.c_str());
  }
  static void TearDownTestSuite() {
    delete prefix_;
    prefix_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(installed_); }

  static std::string Sfxbuild() { return *prefix_ / "bin/sfxbuild"; }

  static TempDir* prefix_;
  static bool installed_;
};
TempDir* InstalledKit::prefix_ = nullptr;
bool InstalledKit::installed_ = false;

TEST_F(InstalledKit, HoldsTheToolsTheWindowsPartsAndTheDocuments) {
  for (const char* file : {"bin/sfxbuild", "bin/lzhdec", "share/sfxkit/stub-exe.exe", "share/sfxkit/stub-extract.exe",
                           "share/sfxkit/stub-lzh.exe", "share/sfxkit/stub-cab.exe", "share/sfxkit/setup.exe", "share/sfxkit/lzhdec32.dll",
                           "share/sfxkit/cab32.dll", "share/sfxkit/innersfx.exe", "share/sfxkit/sfxbuild.exe",
                           "share/doc/sfxkit/README.md", "share/doc/sfxkit/LICENSE"})
    EXPECT_TRUE(fs::is_regular_file(*prefix_ / file)) << file;
  // Import libraries are of no use to an author.
  EXPECT_FALSE(fs::exists(*prefix_ / "lib"));
}

TEST_F(InstalledKit, PacksEveryFormatWithoutNamingTheStub) {
  TempDir work;
  WriteText(work / "app/[Programs]/My App/readme.txt", "Read me.\r\n");
  WriteText(work / "app/[Programs]/My App/data/table.bin", std::string(70000, '\x5C'));
  for (const char* format : {"lzh", "cab", "extract", "exe"}) {
    SCOPED_TRACE(format);
    std::string built = "My App Setup (" + std::string(format) + ").exe";
    ToolRun pack = Sh("cd " + Quote(work.path()) + " && " + Quote(Sfxbuild()) + " pack --format " + format +
                      " --from app --final '[Programs]\\My App\\readme.txt' -o " + Quote(built));
    ASSERT_EQ(pack.code, 0) << pack.out;
    ToolRun verify = Sh("cd " + Quote(work.path()) + " && " + Quote(Sfxbuild()) + " verify " + Quote(built));
    EXPECT_EQ(verify.code, 0) << verify.out;
    EXPECT_NE(verify.out.find("sums: agree"), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find("final command: \"[Programs]\\My App\\readme.txt\""), std::string::npos) << verify.out;
    ToolRun list = Sh("cd " + Quote(work.path()) + " && " + Quote(Sfxbuild()) + " list " + Quote(built));
    EXPECT_EQ(list.code, 0) << list.out;
    EXPECT_NE(list.out.find("[Programs]\\My App\\data\\table.bin"), std::string::npos) << list.out;
  }
}

TEST_F(InstalledKit, SaysWhereItLookedWhenTheKitFolderIsMissing) {
  TempDir alone;
  fs::copy_file(Sfxbuild(), alone / "sfxbuild");
  WriteText(alone / "app/[Desktop]/a.txt", "a");
  ToolRun pack = Sh("cd " + Quote(alone.path()) + " && ./sfxbuild pack --format cab --from app -o out.exe");
  EXPECT_EQ(pack.code, 1);
  EXPECT_NE(pack.out.find("stub program stub-cab.exe not found in " + alone.path() + "/ and " + alone.path() +
                          "/../share/sfxkit/"),
            std::string::npos)
      << pack.out;
  EXPECT_FALSE(fs::exists(alone / "out.exe"));
}

}  // namespace
