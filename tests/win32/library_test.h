// A library of the kit loaded from beside the test program and called
// through its one entry, as the stubs load and call it:
//   int WINAPI Entry(HWND owner, LPCSTR command, LPSTR report, DWORD size)
#ifndef SFX_TESTS_WIN32_LIBRARY_TEST_H
#define SFX_TESTS_WIN32_LIBRARY_TEST_H

#include <string>

#include "scratch.h"
#include "window_driver.h"

class LibraryTest : public driver::ScratchTest {
 protected:
  typedef int(WINAPI* EntryFunction)(HWND, LPCSTR, LPSTR, DWORD);

  LibraryTest(const char* file, const char* entryName) : file_(file), entryName_(entryName) {}

  void SetUp() override {
    ScratchTest::SetUp();
    library_ = LoadLibraryA((driver::ProgramFolder() + "\\" + file_).c_str());
    ASSERT_NE(library_, nullptr) << file_;
    entry_ = reinterpret_cast<EntryFunction>(reinterpret_cast<void*>(GetProcAddress(library_, entryName_)));
    ASSERT_NE(entry_, nullptr) << entryName_ << " is exported undecorated";
  }
  void TearDown() override {
    ScratchTest::TearDown();
    if (library_) FreeLibrary(library_);
  }

  // Calls the entry with `command`; its report goes to `report`.
  int Call(const std::string& command, std::string* report = nullptr) {
    char text[4096];
    int code = entry_(nullptr, command.c_str(), text, sizeof text);
    if (report) *report = text;
    return code;
  }

  HMODULE library_ = nullptr;
  EntryFunction entry_ = nullptr;

 private:
  const char* file_;
  const char* entryName_;
};

#endif  // SFX_TESTS_WIN32_LIBRARY_TEST_H
