// Setup.ini paths resolved against a root and a machine's folders, in
// both modes.
#include "setup/resolve_path.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const setup::MachineFolders kFolders = {"C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\Program Files"};
const char kRoot[] = "C:\\App";

std::string Resolve(const std::string& path, const std::string& root, bool programMode,
                    const setup::MachineFolders& folders = kFolders, size_t size = 260) {
  std::string out(size, '#');
  bool resolved = setup::ResolvePath(&out[0], size, path.c_str(), root.c_str(), folders, programMode);
  std::string result = out.c_str();
  EXPECT_EQ(resolved, !result.empty()) << path;
  return result;
}

TEST(ResolvePath, MacrosAndMarks) {
  struct Case {
    const char* path;
    setup::PathBase base;
    size_t rest;
  } cases[] = {
      {"%system%\\x.dll", setup::PathBase::kSystem, 8},  {"%SYSTEM%x", setup::PathBase::kSystem, 8},
      {"%Windows%", setup::PathBase::kWindows, 9},       {"%programs%\\App", setup::PathBase::kPrograms, 10},
      {"%root%x.txt", setup::PathBase::kRoot, 6},        {"!C:\\x", setup::PathBase::kFull, 1},
      {"%systemx.dll", setup::PathBase::kRoot, 0},  // eight characters decide
      {"%temp%\\x", setup::PathBase::kRoot, 0},     // an unknown word is no macro
      {"x!y", setup::PathBase::kRoot, 0},           {"", setup::PathBase::kRoot, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    setup::PathMacro macro = setup::SplitPathMacro(c.path);
    EXPECT_EQ(macro.base, c.base);
    EXPECT_EQ(macro.rest, c.rest);
  }
}

// Every prefix, outside program mode and in it (where a relative path
// stands for a document; its fallback is the path below the root).
TEST(ResolvePath, EveryPrefixInBothModes) {
  struct Case {
    const char* path;
    const char* root;
    const char* plain;
    const char* program;
  } cases[] = {
      {"%system%\\x.dll", kRoot, "C:\\WINDOWS\\system32\\x.dll", "C:\\WINDOWS\\system32\\x.dll"},
      {"%SYSTEM%\\X.dll", kRoot, "C:\\WINDOWS\\system32\\X.dll", "C:\\WINDOWS\\system32\\X.dll"},
      {"%system%x.dll", kRoot, "C:\\WINDOWS\\system32x.dll", "C:\\WINDOWS\\system32x.dll"},  // as written
      {"%windows%\\win.ini", "", "C:\\WINDOWS\\win.ini", "C:\\WINDOWS\\win.ini"},  // no root needed
      {"%programs%\\App", kRoot, "C:\\Program Files\\App", "C:\\Program Files\\App"},
      {"%systemx.dll", kRoot, "C:\\App\\%systemx.dll", "C:\\App\\%systemx.dll"},
      {"%root%x.txt", kRoot, "C:\\App\\x.txt", "C:\\App\\x.txt"},
      {"%root%\\x.txt", kRoot, "C:\\App\\\\x.txt", "C:\\App\\\\x.txt"},
      {"%root%x.txt", "C:\\", "C:\\x.txt", "C:\\x.txt"},
      {"bin\\a.exe", kRoot, "C:\\App\\bin\\a.exe", "C:\\App\\bin\\a.exe"},
      {"bin\\a.exe", "\\\\server\\share", "\\\\server\\share\\bin\\a.exe", "\\\\server\\share\\bin\\a.exe"},
      {"!D:\\Data\\x", kRoot, "D:\\Data\\x", "D:\\Data\\x"},
      {"!\\\\server\\share\\x", "", "\\\\server\\share\\x", "\\\\server\\share\\x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " in " + c.root);
    EXPECT_EQ(Resolve(c.path, c.root, false), c.plain);
    EXPECT_EQ(Resolve(c.path, c.root, true), c.program);
  }
}

// A root that is no full path would put a path below the current folder
// or the current drive's root, where an uninstall's [Del] pattern would
// delete; a plain-mode path stays below the root, and one marked "!" is
// full. In program mode "!" text is passed on as written and paths may
// climb: they name programs and values, never what setup deletes.
TEST(ResolvePath, NothingOutsideWhatAPathNames) {
  struct Case {
    const char* path;
    const char* root;
    const char* plain;
    const char* program;
  } cases[] = {
      {"a.txt", "", "", ""},
      {"*.*", "App", "", ""},
      {"%root%\\*.*", "\\App", "", ""},
      {"x.txt", "C:App", "", ""},
      {"x.txt", "C:\\App\\..", "", ""},  // a root that climbs is no full path
      {"..\\*.*", kRoot, "", "C:\\App\\..\\*.*"},
      {"%root%\\..\\x", kRoot, "", "C:\\App\\\\..\\x"},
      {"a\\. .\\..\\..\\x", kRoot, "", "C:\\App\\a\\. .\\..\\..\\x"},
      {"sub\\..\\x", kRoot, "C:\\App\\sub\\..\\x", "C:\\App\\sub\\..\\x"},  // stays below
      {"!relative\\x", kRoot, "", "relative\\x"},
      {"!C:x", kRoot, "", "C:x"},
      {"!text", kRoot, "", "text"},
      {"!", kRoot, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " in " + c.root);
    EXPECT_EQ(Resolve(c.path, c.root, false), c.plain);
    EXPECT_EQ(Resolve(c.path, c.root, true), c.program);
  }
}

// A folder the system could not give: the rest alone would name the
// current drive's root.
TEST(ResolvePath, MissingMachineFolderResolvesToNothing) {
  const setup::MachineFolders none = {"", "", ""};
  for (const char* path : {"%system%\\x.dll", "%windows%\\x", "%programs%\\App"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Resolve(path, kRoot, false, none), "");
    EXPECT_EQ(Resolve(path, kRoot, true, none), "");
  }
  EXPECT_EQ(Resolve("x.txt", kRoot, false, none), "C:\\App\\x.txt");
}

// Over-long results are empty, never cut: a cut path names another file.
TEST(ResolvePath, OverLongResultsAreEmpty) {
  std::string root259 = "C:\\" + std::string(256, 'r');
  const setup::MachineFolders huge = {kFolders.system, kFolders.windows, root259.c_str()};
  struct Case {
    std::string path, root;
    const setup::MachineFolders* folders;
    size_t size;
    std::string resolved;
  } cases[] = {
      {"%root%\\" + std::string(20, 'n'), "C:\\" + std::string(250, 'r'), &kFolders, 260, ""},
      {std::string(20, 'n'), "C:\\" + std::string(250, 'r'), &kFolders, 260, ""},
      {"%system%\\" + std::string(250, 's'), kRoot, &kFolders, 260, ""},
      {"%programs%\\App", kRoot, &huge, 260, ""},
      {"%programs%", kRoot, &huge, 260, root259},  // exactly fits
      {"!C:\\" + std::string(256, 'f'), kRoot, &kFolders, 260, "C:\\" + std::string(256, 'f')},
      {"!C:\\" + std::string(257, 'f'), kRoot, &kFolders, 260, ""},
      {"x.txt", root259, &kFolders, 260, ""},                      // the root fits, the join not
      {"a", kRoot, &kFolders, 9, "C:\\App\\a"},                    // 8 bytes and the NUL
      {"ab", kRoot, &kFolders, 9, ""},
      {"%windows%\\a", kRoot, &kFolders, 13, "C:\\WINDOWS\\a"},
      {"%windows%\\ab", kRoot, &kFolders, 13, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.substr(0, 20) + " size " + std::to_string(c.size));
    EXPECT_EQ(Resolve(c.path, c.root, false, *c.folders, c.size), c.resolved);
  }
  EXPECT_EQ(Resolve("!" + std::string(300, 't'), kRoot, true), "");
}

// What the description checker and the uninstall ask before acting.
TEST(ResolvePath, WhatResolvesBelowItsPlace) {
  struct Case {
    const char* path;
    bool below;
  } cases[] = {
      {"*.log", true},          {"%root%\\data\\*.*", true}, {"sub\\..\\x", true},  {"%windows%\\..\\x", true},
      {"!C:\\Data\\*.*", true}, {"..\\*.*", false},          {"%ROOT%..\\x", false}, {"!relative", false},
      {"!C:x", false},          {"", true},
  };
  for (const Case& c : cases) EXPECT_EQ(setup::ResolvesBelowItsPlace(c.path), c.below) << c.path;
}

TEST(ResolvePath, RootJoinedKeepsToAFullRoot) {
  struct Case {
    const char* root;
    const char* path;
    bool below;
    const char* joined;
  } cases[] = {
      {kRoot, "doc.txt", false, "C:\\App\\doc.txt"}, {kRoot, "..\\doc.txt", false, "C:\\App\\..\\doc.txt"},
      {kRoot, "..\\doc.txt", true, ""},              {"App", "doc.txt", false, ""},
      {"", "doc.txt", false, ""},                    {"C:\\", "", true, "C:\\"},
  };
  for (const Case& c : cases) {
    char out[260] = "#";
    setup::RootJoined(out, sizeof out, c.root, c.path, c.below);
    EXPECT_STREQ(out, c.joined) << c.root << " + " << c.path;
  }
}

}  // namespace
