// sfxbuild making cabinets from a folder of token folders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inner_archive.h"
#include "tool_run.h"

namespace {

class SfxbuildCabTest : public SfxbuildFolderTest {
 protected:
  ToolRun Pack(const std::string& arguments) {
    return RunSfxbuild("pack " + arguments + " -o '" + Path("out.exe") + "'");
  }

  // A pack that must fail: its arguments, exit code and a piece of its message.
  struct Failure {
    std::string arguments;
    int code;
    const char* message;
  };
  // Each fails so, and the folder holds only what `listing` lists after it.
  void ExpectFailures(const std::vector<Failure>& cases, const std::string& listing) {
    for (const Failure& c : cases) {
      ToolRun run = Pack(c.arguments);
      EXPECT_EQ(run.code, c.code) << c.arguments;
      EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
      EXPECT_EQ(Sh("ls '" + dir_ + "'").out, listing) << c.arguments;
    }
  }
};

TEST_F(SfxbuildCabTest, FolderBecomesACabinetAfterTheBlock) {
  Put("[shell]/setup.txt", "run me");
  Put("[System]/lib.dll", std::string(70000, 'L'));
  Put("[Desktop]/deep/note.txt", "note");
  ToolRun pack = Pack("--format cab --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "' --final '[Desktop]\\deep\\note.txt'");
  ASSERT_EQ(pack.code, 0) << pack.out;
  EXPECT_EQ(pack.out.find("warning"), std::string::npos) << pack.out;
  EXPECT_NE(pack.out.find("out.exe: 3 files, 70,010 bytes in"), std::string::npos) << pack.out;
  std::string built = Read(Path("out.exe"));
  Write("a.cab", built.substr(768));
  ASSERT_EQ(Sh("cabextract -q -d '" + Path("x") + "' '" + Path("a.cab") + "'").code, 0);
  EXPECT_EQ(Read(Path("x/[shell]/setup.txt")), "run me");
  EXPECT_EQ(Read(Path("x/[System]/lib.dll")), std::string(70000, 'L'));
  EXPECT_EQ(Read(Path("x/[Desktop]/deep/note.txt")), "note");
  EXPECT_EQ(RunSfxbuild("verify '" + Path("out.exe") + "'").code, 0);
  // Nothing of the cabinet's temporary file stays behind.
  EXPECT_EQ(Sh("ls '" + dir_ + "'").out, "a.cab\napp\nout.exe\nstub.exe\nx\n");
}

TEST_F(SfxbuildCabTest, TopLevelFilesAreAWarningAndStillPacked) {
  Put("[System]/a", "a");
  Put("loose.txt", "loose");
  ToolRun pack = Pack("--format extract --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "'");
  ASSERT_EQ(pack.code, 0) << pack.out;
  EXPECT_NE(pack.out.find("warning: loose.txt lies at the top"), std::string::npos) << pack.out;
  Write("a.cab", Read(Path("out.exe")).substr(768));
  ASSERT_EQ(Sh("cabextract -q -d '" + Path("x") + "' '" + Path("a.cab") + "'").code, 0);
  EXPECT_EQ(Read(Path("x/loose.txt")), "loose");
}

TEST_F(SfxbuildCabTest, BadFoldersAndFormatsFailWithoutOutput) {
  std::filesystem::create_directories(Path("empty/[System]"));
  Put("[System]/back\\slash", "b");
  ExpectFailures({
      {"--format cab --from '" + Path("empty") + "' --stub '" + Path("stub.exe") + "'", 1, "no files below"},
      {"--format cab --from '" + Path("missing") + "' --stub '" + Path("stub.exe") + "'", 1, "no such folder"},
      {"--format cab --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "'", 1, "backslash"},
      {"--format zip --from '" + Path("app") + "'", 2, "unknown format"},
      {"--format cab", 2, "usage"},
      {"--format cab --from x --archive y --stub z", 2, "usage"},
  }, "app\nempty\nstub.exe\n");
}

TEST_F(SfxbuildCabTest, StubIsLookedForBesideTheBuilder) {
  // The host build has no stub programs beside sfxbuild.
  Put("[System]/a", "a");
  ToolRun run = Pack("--format cab --from '" + Path("app") + "'");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("stub-cab.exe"), std::string::npos) << run.out;
}

TEST_F(SfxbuildCabTest, ExeFormatAppendsAnInnerProgramWithItsCabinet) {
  Put("[shell]/read me.txt", "read me");
  Put("[System]/deep/lib.dll", std::string(70000, 'L'));
  std::string program = std::string(1024, 'I');
  Write("inner.exe", program);
  ToolRun pack = Pack("--format exe --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "' --inner '" +
                      Path("inner.exe") + "'");
  ASSERT_EQ(pack.code, 0) << pack.out;
  std::string built = Read(Path("out.exe"));
  ASSERT_GT(built.size(), 768u + 1024u + inner::kTrailerSize);
  EXPECT_EQ(built.substr(0, 512), std::string(512, 'S'));
  // Everything after the block is the inner program, trailer included.
  std::string innerFile = built.substr(768);
  EXPECT_EQ(innerFile.substr(0, 1024), program);
  inner::Span span;
  ASSERT_EQ(inner::ReadTrailer(reinterpret_cast<const uint8_t*>(innerFile.data()) + innerFile.size() - 16,
                               innerFile.size(), &span),
            core::Result::kOk);
  EXPECT_EQ(span.offset, 1024u);
  Write("a.cab", innerFile.substr(span.offset, span.length));
  ASSERT_EQ(Sh("cabextract -q -d '" + Path("x") + "' '" + Path("a.cab") + "'").code, 0);
  EXPECT_EQ(Read(Path("x/[shell]/read me.txt")), "read me");
  EXPECT_EQ(Read(Path("x/[System]/deep/lib.dll")), std::string(70000, 'L'));
  EXPECT_EQ(RunSfxbuild("verify '" + Path("out.exe") + "'").code, 0);
  EXPECT_EQ(Sh("ls '" + dir_ + "'").out, "a.cab\napp\ninner.exe\nout.exe\nstub.exe\nx\n");
}

TEST_F(SfxbuildCabTest, ExeFormatWithoutItsProgramsFailsWithoutOutput) {
  Put("[System]/a", "a");
  Write("empty.exe", "");
  ExpectFailures({
      // The host build has no innersfx.exe beside sfxbuild.
      {"--format exe --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "'", 1, "innersfx.exe"},
      {"--format exe --from '" + Path("app") + "' --stub '" + Path("stub.exe") + "' --inner '" + Path("empty.exe") +
           "'",
       1, "cannot copy inner program"},
      {"--format exe --from '" + Path("app") + "' --stub '" + Path("none.exe") + "' --inner '" + Path("stub.exe") +
           "'",
       1, "stub program"},
      {"--format cab --from '" + Path("app") + "' --inner '" + Path("stub.exe") + "'", 2, "usage"},
  }, "app\nempty.exe\nstub.exe\n");
}

}  // namespace
