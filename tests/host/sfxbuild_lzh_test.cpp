// sfxbuild making LZH built files from a folder, and the checks it makes
// on what an author hands it.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "tool_run.h"

namespace {

class SfxbuildLzhTest : public SfxbuildFolderTest {
 protected:
  ToolRun Pack(const std::string& arguments) {
    return RunSfxbuild("pack --format lzh --stub '" + Path("stub.exe") + "' --from '" + Path("app") + "' " + arguments +
                       " -o '" + Path("out.exe") + "'");
  }
  // The archive behind the payload block, unpacked by the shipped decoder.
  ToolRun Unpack() {
    std::string built = Read(Path("out.exe"));
    Write("archive.lzh", built.substr(kStubSize + 256));
    return Sh(std::string(LZHDEC_PATH) + " x '" + Path("archive.lzh") + "' '" + Path("unpacked") + "/'");
  }
};

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() % 7 + 'a');  // packs, but not to nothing
  return bytes;
}

TEST_F(SfxbuildLzhTest, FolderRoundTripsThroughTheShippedDecoder) {
  const std::string dll = RandomBytes(70000, 1);
  Put("[shell]/setup.ini", "[Root]\r\nNamed=Demo\r\n");
  Put("[Environment]/APPDIR/bin/app.dll", dll);
  Put("[Desktop]/\xE8\xAA\xAC\xE6\x98\x8E.txt", "read me");  // "説明.txt" in UTF-8
  Put("[Programs]/empty.txt", "");
  std::filesystem::create_directories(Path("app/[Temporary]/nothing yet"));
  for (const char* method : {"lh5", "lh6", "lh7", "lh0"}) {
    ToolRun pack = Pack(std::string("--method ") + method + " --level 9 --final '[Desktop]\\readme.txt'");
    ASSERT_EQ(pack.code, 0) << pack.out;
    EXPECT_NE(pack.out.find("4 files, 70,027 bytes in"), std::string::npos) << pack.out;
    EXPECT_EQ(pack.out.find("warning"), std::string::npos) << pack.out;
    EXPECT_EQ(RunSfxbuild("verify '" + Path("out.exe") + "'").code, 0);

    std::filesystem::remove_all(Path("unpacked"));
    ToolRun unpack = Unpack();
    ASSERT_EQ(unpack.code, 0) << unpack.out;
    EXPECT_TRUE(Read(Path("unpacked/[Environment]/APPDIR/bin/app.dll")) == dll) << method;
    EXPECT_EQ(Read(Path("unpacked/[shell]/setup.ini")), "[Root]\r\nNamed=Demo\r\n");
    // The stubs read names in code page 932: "説明" is 0x90E0 0x96BE there.
    EXPECT_EQ(Read(Path("unpacked/[Desktop]/\x90\xE0\x96\xBE.txt")), "read me") << method;
    EXPECT_TRUE(Exists(Path("unpacked/[Temporary]/nothing yet"))) << "empty folders are kept";
    EXPECT_TRUE(Exists(Path("unpacked/[Programs]/empty.txt")));
  }
}

TEST_F(SfxbuildLzhTest, WhatWouldNeverBeDistributedIsWarnedAbout) {
  Put("[System]/a.dll", "a");
  Put("loose.txt", "top");
  Put("[Nowhere]/b.txt", "b");
  Put("[application]/Demo/SETUP.exe", "MZ");
  Put("[Application]/Demo/sub/Setup.ini", "moved: not at the top");
  ToolRun pack = Pack("--final readme.txt");
  EXPECT_EQ(pack.code, 0) << pack.out;
  EXPECT_NE(pack.out.find("SETUP.exe would replace the installed application's own"), std::string::npos) << pack.out;
  EXPECT_EQ(pack.out.find("Setup.ini would replace"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("warning: loose.txt lies at the top"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("warning: [Nowhere] is no destination token"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("warning: final command \"readme.txt\" names no destination token"), std::string::npos)
      << pack.out;
  for (const char* fine : {"'[system]\\x.dll'", "'C:\\Program Files\\x.exe'", "'[Application]\\Demo\\x.exe'"})
    EXPECT_EQ(Pack(std::string("--final ") + fine).out.find("final command"), std::string::npos) << fine;
}

TEST_F(SfxbuildLzhTest, BadInputsFailClearlyAndLeaveNoOutput) {
  Put("[System]/\xF0\x9F\x98\x80.dll", "emoji");  // no code page 932 form
  ToolRun pack = Pack("");
  EXPECT_EQ(pack.code, 1);
  EXPECT_NE(pack.out.find("code page 932"), std::string::npos) << pack.out;
  EXPECT_FALSE(Exists(Path("out.exe")));
  EXPECT_FALSE(Exists(Path("out.exe.archive-tmp"))) << "the temporary archive is gone";

  std::filesystem::remove_all(Path("app"));
  std::filesystem::create_directories(Path("app/[System]"));
  pack = Pack("");
  EXPECT_EQ(pack.code, 1);
  EXPECT_NE(pack.out.find("no files below"), std::string::npos) << pack.out;

  ToolRun missingStub = RunSfxbuild("pack --format lzh --stub '" + Path("none.exe") + "' --from '" + Path("app") +
                                    "' -o '" + Path("out.exe") + "'");
  EXPECT_EQ(missingStub.code, 1);
  EXPECT_NE(missingStub.out.find("stub program"), std::string::npos) << missingStub.out;

  EXPECT_EQ(Pack("--method lh9").code, 2);
  EXPECT_EQ(Pack("--level 10").code, 2);
  EXPECT_EQ(Pack("--format zip").code, 2);
}

}  // namespace
