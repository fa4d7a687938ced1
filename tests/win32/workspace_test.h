// A scratch root with a workspace in it, as the stub's operations find one.
#ifndef SFX_TESTS_WIN32_WORKSPACE_TEST_H
#define SFX_TESTS_WIN32_WORKSPACE_TEST_H

#include <string>

#include "scratch.h"
#include "window_driver.h"

class WorkspaceTest : public driver::ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    workspace_ = root_ + "\\work space";
    ASSERT_TRUE(driver::MakeFolders(workspace_));
  }
  // A file at workspace\relative.
  void Put(const std::string& relative, const std::string& content = "x") {
    ASSERT_TRUE(driver::PutFile(workspace_ + "\\" + relative, content)) << relative;
  }

  std::string workspace_;
};

#endif  // SFX_TESTS_WIN32_WORKSPACE_TEST_H
