// Built files that delete themselves after their run. stub-extract needs no
// library beside it, and unpacks nothing from the archive of random bytes.
#include <gtest/gtest.h>

#include "built_file.h"

namespace {

class SelfRemoval : public driver::BuiltFileTest {
 protected:
  std::string Build(const std::string& name, bool selfDelete) {
    std::string archive = root_ + "\\archive.bin";
    EXPECT_TRUE(driver::WriteFileBytes(archive, std::string(100, 'a')));
    return PackArchive(name, "stub-extract", archive, selfDelete ? "--self-delete" : "");
  }

  // Runs a built file to its end; the process stays held for the programs
  // it started.
  DWORD RunToEnd(const std::string& built, const std::string& arguments = "") {
    process_ = Start(built, arguments);
    return process_.ExitCode(30000);
  }

  driver::Process process_;
};

TEST_F(SelfRemoval, FileWithoutTheFlagStays) {
  std::string built = Build("keep me.exe", false);
  EXPECT_EQ(RunToEnd(built), 0u);
  // The removal would be a batch the stub starts: every program it started has ended.
  ASSERT_TRUE(process_.WaitForItsPrograms());
  EXPECT_TRUE(driver::Exists(built));
}

TEST_F(SelfRemoval, FileWithTheFlagIsGoneAfterItsRunAndSoIsTheBatch) {
  std::string built = Build("remove me.exe", true);
  EXPECT_EQ(RunToEnd(built), 0u);
  EXPECT_TRUE(driver::WaitUntilGone(built, 15000));
  // The batch lies in the root of the current drive and deletes itself.
  EXPECT_TRUE(driver::WaitUntilGone("C:\\delus.bat", 5000));
}

TEST_F(SelfRemoval, ReadOnlyFileOrOneNamedWithPercentsRemovesItselfAndNothingElse) {
  // cmd reads "100%sfx_unset% done.exe" as "100 done.exe" unless its '%'
  // are doubled.
  const std::string decoy = root_ + "\\100 done.exe";
  ASSERT_TRUE(driver::WriteFileBytes(decoy, "decoy"));
  struct Case {
    const char* name;
    bool readOnly;  // del alone never deletes it
  } cases[] = {{"read only.exe", true}, {"100%sfx_unset% done.exe", false}};
  for (const Case& c : cases) {
    std::string built = Build(c.name, true);
    if (c.readOnly) {
      ASSERT_TRUE(SetFileAttributesA(built.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    EXPECT_EQ(RunToEnd(built), 0u) << c.name;
    EXPECT_TRUE(driver::WaitUntilGone(built, 15000)) << c.name;
    EXPECT_TRUE(driver::WaitUntilGone("C:\\delus.bat", 5000)) << c.name << ": the batch ended";
  }
  EXPECT_EQ(driver::ReadFileBytes(decoy), "decoy");
}

TEST_F(SelfRemoval, PlusWithoutAValidHandleRemovesAtOnce) {
  for (const char* arguments : {" +", " +-1", " + 999999"}) {
    std::string built = Build("by hand.exe", false);
    EXPECT_EQ(RunToEnd(built, arguments), 0u) << arguments;
    EXPECT_TRUE(driver::WaitUntilGone(built, 10000)) << arguments;
    EXPECT_TRUE(driver::WaitUntilGone("C:\\delus.bat", 5000));
  }
}

TEST_F(SelfRemoval, MemoryMethodOfTheWindows95FamilyRunsWithoutFault) {
  // Wine reports the Windows 95 family to programs configured as win98.
  SetKeyStringUntilEnd(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\nine five.exe", "Version", "win98");
  std::string built = Build("nine five.exe", false);
  // Wine cannot delete a running image, so the file stays there; what
  // counts is that the copied routine runs and ends the process cleanly
  // instead of faulting in memory that may not execute.
  EXPECT_EQ(RunToEnd(built, " +"), 0u);
  // The batch method would be a program the stub starts: every one it started has ended.
  ASSERT_TRUE(process_.WaitForItsPrograms());
  EXPECT_TRUE(driver::Exists(built)) << "the batch method, which would delete it, did not run";
}

}  // namespace
