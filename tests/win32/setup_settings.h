// The running Setup.ini that setup's operations work on, as setup holds
// it: a file on the disk read into memory at the start. A test writes the
// file and loads it, as setup's start does; it reads the disk again after
// FlushSettings(), as the stub and the next run would.
#ifndef SFX_TESTS_WIN32_SETUP_SETTINGS_H
#define SFX_TESTS_WIN32_SETUP_SETTINGS_H

#include <string>

#include "machine.h"
#include "ini_file.h"
#include "setup.h"

class SetupSettings {
 public:
  SetupSettings() {
    g_setup.settings = &settings_;
    g_setup.earlierRecord = &earlier_;
    g_setup.earlier = nullptr;
    settings_.Load("", 0);
  }
  ~SetupSettings() {
    g_setup.settings = g_setup.earlier = g_setup.earlierRecord = nullptr;
  }
  SetupSettings(const SetupSettings&) = delete;
  SetupSettings& operator=(const SetupSettings&) = delete;

  // Writes `text` as the running Setup.ini (g_setup.ini) and reads it in.
  bool Write(const std::string& text) { return driver::WriteFileBytes(g_setup.ini, text) && LoadSettings(); }

 private:
  profile::Document settings_{platform::ResizeOnHeap};
  profile::Document earlier_{platform::ResizeOnHeap};
};

#endif  // SFX_TESTS_WIN32_SETUP_SETTINGS_H
