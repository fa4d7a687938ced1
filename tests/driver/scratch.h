// A test that works in a folder of its own and leaves the machine as it
// found it: one Wine prefix serves every test program in turn.
#ifndef SFX_TESTS_SCRATCH_H
#define SFX_TESTS_SCRATCH_H

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace driver {

// The root is "C:\sfx <program>\<Suite>.<Test>", emptied when the test
// starts and removed when it passed (a failed test's root stays for a
// look). Files and keys a test made elsewhere, the variables it set and
// the current folder it chose are put back when it ends, passed or not.
class ScratchTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A file or folder made outside the root.
  void RemoveAtEnd(const std::string& path);
  // A key made by the program under test; it goes with its subkeys.
  void DeleteKeyAtEnd(HKEY root, const std::string& key);
  // Writes a string value, making the key, which goes at the end.
  void SetKeyStringUntilEnd(HKEY root, const std::string& key, const char* name, const std::string& value);
  // An application as setup registers it: its Uninstall key with the
  // command that removes it.
  void RegisterApplication(const std::string& name, const std::string& uninstallString);
  // Sets (or, with null, removes) a variable of this process's environment.
  void SetVariable(const char* name, const char* value);
  // Makes `folder` this process's current folder.
  void EnterFolder(const std::string& folder);

  std::string root_;
  // Unique among all tests, for names made outside the root (files in
  // shared folders, registry keys).
  std::string tag_;

 private:
  std::vector<std::string> paths_;
  std::vector<std::pair<HKEY, std::string>> keys_;
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> variables_;  // name, (was set, value)
  std::string savedFolder_;
};

}  // namespace driver

#endif  // SFX_TESTS_SCRATCH_H
