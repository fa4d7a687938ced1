#include "scratch.h"

#include "machine.h"

namespace driver {

namespace {

// The base name of this test program, "e2e_stub_run" for e2e_stub_run.exe.
std::string ProgramName() {
  char path[MAX_PATH];
  std::string name = NameOf(std::string(path, GetModuleFileNameA(nullptr, path, sizeof path)));
  return name.substr(0, name.rfind('.'));
}

}  // namespace

void ScratchTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string program = ProgramName();
  // A parameterised test is named "Prefix/Suite.Test/parameter": no folders.
  std::string suite = info->test_suite_name(), name = info->name();
  for (std::string* part : {&suite, &name})
    for (char& c : *part)
      if (c == '/') c = '-';
  root_ = "C:\\sfx " + program + "\\" + suite + "." + name;
  tag_ = "sfx-" + program + "-" + name;
  RemoveTree(root_);
  ASSERT_TRUE(MakeFolders(root_)) << root_;
}

void ScratchTest::TearDown() {
  // The root cannot go while it, or a folder in it, is the current one.
  if (!savedFolder_.empty()) SetCurrentDirectoryA(savedFolder_.c_str());
  for (auto it = variables_.rbegin(); it != variables_.rend(); ++it)
    SetEnvironmentVariableA(it->first.c_str(), it->second.first ? it->second.second.c_str() : nullptr);
  for (const auto& [root, key] : keys_) DeleteKeyTree(root, key);
  for (const std::string& path : paths_) {
    DeleteFileA(path.c_str());
    RemoveTree(path);
  }
  if (!HasFailure()) RemoveTree(root_);
}

void ScratchTest::RemoveAtEnd(const std::string& path) { paths_.push_back(path); }

void ScratchTest::DeleteKeyAtEnd(HKEY root, const std::string& key) { keys_.emplace_back(root, key); }

void ScratchTest::SetKeyStringUntilEnd(HKEY root, const std::string& key, const char* name, const std::string& value) {
  DeleteKeyAtEnd(root, key);
  ASSERT_TRUE(SetKeyString(root, key, name, value)) << key;
}

void ScratchTest::RegisterApplication(const std::string& name, const std::string& uninstallString) {
  SetKeyStringUntilEnd(HKEY_LOCAL_MACHINE, UninstallKey(name), "UninstallString", uninstallString);
}

void ScratchTest::SetVariable(const char* name, const char* value) {
  char old[32768];
  DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
  variables_.push_back({name, {length != 0 && length < sizeof old, std::string(old, length < sizeof old ? length : 0)}});
  SetEnvironmentVariableA(name, value);
}

void ScratchTest::EnterFolder(const std::string& folder) {
  if (savedFolder_.empty()) {
    char current[MAX_PATH];
    savedFolder_.assign(current, GetCurrentDirectoryA(sizeof current, current));
  }
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
}

}  // namespace driver
