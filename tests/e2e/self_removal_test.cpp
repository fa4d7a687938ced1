// Built files that delete themselves after their run. stub-extract needs no
// library beside it, and unpacks nothing from the archive of random bytes.
#include <gtest/gtest.h>

#include "window_driver.h"

namespace {

bool WaitUntilGone(const std::string& path, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100, Sleep(100))
    if (!driver::Exists(path)) return true;
  return false;
}

class SelfRemoval : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::string("C:\\sfx e2e\\") + info->name();
    driver::RemoveTree(root_);
    ASSERT_TRUE(driver::MakeFolders(root_ + "\\temp dir"));
    environment_ = {{"TMP", root_ + "\\temp dir"}, {"TEMP", root_ + "\\temp dir"}};
  }
  void TearDown() override {
    if (!HasFailure()) driver::RemoveTree(root_);
  }

  std::string Build(const std::string& name, bool selfDelete) {
    std::string archive = root_ + "\\archive.bin", built = root_ + "\\" + name;
    EXPECT_TRUE(driver::WriteFileBytes(archive, std::string(100, 'a')));
    std::string command = "\"" + driver::ProgramFolder() + "\\sfxbuild.exe\" pack --stub \"" +
                          driver::ProgramFolder() + "\\stub-extract.exe\" --archive \"" + archive + "\" " +
                          (selfDelete ? "--self-delete " : "") + "-o \"" + built + "\"";
    EXPECT_EQ(driver::RunToEnd(command, root_), 0) << command;
    return built;
  }

  DWORD RunToEnd(const std::string& commandLine) {
    driver::Process process = driver::Start(commandLine, root_, &environment_);
    DWORD code = 99;
    EXPECT_TRUE(process.Wait(30000, &code)) << commandLine;
    return code;
  }

  std::string root_;
  std::map<std::string, std::string> environment_;
};

TEST_F(SelfRemoval, FileWithoutTheFlagStays) {
  std::string built = Build("keep me.exe", false);
  EXPECT_EQ(RunToEnd("\"" + built + "\""), 0u);
  Sleep(1500);
  EXPECT_TRUE(driver::Exists(built));
}

TEST_F(SelfRemoval, FileWithTheFlagIsGoneAfterItsRunAndSoIsTheBatch) {
  std::string built = Build("remove me.exe", true);
  EXPECT_EQ(RunToEnd("\"" + built + "\""), 0u);
  EXPECT_TRUE(WaitUntilGone(built, 15000));
  // The batch lies in the root of the current drive and deletes itself.
  EXPECT_TRUE(WaitUntilGone("C:\\delus.bat", 5000));
}

TEST_F(SelfRemoval, PlusWithoutAValidHandleRemovesAtOnce) {
  for (const char* arguments : {" +", " +-1", " + 999999"}) {
    std::string built = Build("by hand.exe", false);
    EXPECT_EQ(RunToEnd("\"" + built + "\"" + arguments), 0u) << arguments;
    EXPECT_TRUE(WaitUntilGone(built, 10000)) << arguments;
    EXPECT_TRUE(WaitUntilGone("C:\\delus.bat", 5000));
  }
}

TEST_F(SelfRemoval, MemoryMethodOfTheWindows95FamilyRunsWithoutFault) {
  // Wine reports the Windows 95 family to programs configured as win98.
  const std::string key = "Software\\Wine\\AppDefaults\\nine five.exe";
  HKEY settings;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &settings, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(settings, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
  RegCloseKey(settings);
  std::string built = Build("nine five.exe", false);
  // Wine cannot delete a running image, so the file stays there; what
  // counts is that the copied routine runs and ends the process cleanly
  // instead of faulting in memory that may not execute.
  DWORD code = RunToEnd("\"" + built + "\" +");
  RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  EXPECT_EQ(code, 0u);
  Sleep(1000);
  EXPECT_TRUE(driver::Exists(built)) << "the batch method, which would delete it, did not run";
}

}  // namespace
