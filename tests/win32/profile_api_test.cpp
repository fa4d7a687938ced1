// The builder's private-profile reader and setup's document against the
// private-profile calls: the same files, the same keys, the same answers;
// and a file the document writes reads back through the calls as the
// calls' own writes would.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "ini/reader.h"
#include "ini/lists.h"
#include "ini_file.h"

namespace {

// A file of its own for every case, so that no cached copy of another
// case can answer.
class ProfileApi : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& path : written_) DeleteFileA(path.c_str());
  }

  // Writes `bytes` into a fresh file; its path.
  std::string Write(const std::string& bytes) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "sfx-profile-api-" + std::to_string(written_.size()) + ".ini";
    written_.push_back(path);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD done;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(file);
    return path;
  }

  std::vector<std::string> written_;
};

TEST_F(ProfileApi, TheReaderAnswersAsTheCallsDo) {
  // Each file with the section and key asked of it; "-" stands for a
  // missing key.
  const std::string quotes = "[S]\r\na=\"app.exe\" \"%1\"\r\nb='z'\r\nc=\"w'\r\nd=\"\r\ne=\"\"\r\nf= \" p \" \r\n";
  struct Case {
    std::string file;
    std::vector<std::pair<const char*, const char*>> asked;
  } cases[] = {
      {"[ Sec ]\r\n  a b  =  v  \r\n\tt\t=\tx\t\r\n", {{"Sec", "a b"}, {"Sec", "t"}}},
      {"[s]\r\nNAME=1\r\n", {{"S", "name"}}},
      {"[Sec] junk\r\nk=v\r\n", {{"Sec", "k"}}},
      {"[Sec]x]\r\nk=v\r\n", {{"Sec]x", "k"}, {"Sec", "k"}}},
      {"[Sec\r\nk=v\r\n", {{"Sec", "k"}}},
      {"[S]\r\na=1\r\n[s]\r\nb=2\r\n", {{"S", "a"}, {"S", "b"}}},
      {"[S]\r\na=1\r\nA=2\r\n", {{"S", "a"}}},
      {quotes, {{"S", "a"}, {"S", "b"}, {"S", "c"}, {"S", "d"}, {"S", "e"}, {"S", "f"}}},
      {"[S]\r\nm=v ;c\r\nno equals\r\n", {{"S", "m"}, {"S", "no equals"}}},
      {"[S]\na=1\nb=2\n", {{"S", "b"}}},
      {"[S]\ra=1\rb=2\r", {{"S", "b"}}},
      {"[S]\r\nb=2", {{"S", "b"}}},
      {"k=v\r\n[S]\r\n", {{"S", "k"}}},
      {"\xEF\xBB\xBF[S]\r\na=1\r\n", {{"S", "a"}}},
      {"[S]\r\na=" + std::string(300, 'x') + "\r\n", {{"S", "a"}}},
  };
  for (const Case& c : cases) {
    std::string path = Write(c.file);
    profile::Profile ours(c.file.data(), c.file.size());
    for (const auto& asked : c.asked) {
      SCOPED_TRACE(c.file + " [" + asked.first + "] " + asked.second);
      char api[1024];
      GetPrivateProfileStringA(asked.first, asked.second, "-", api, sizeof api, path.c_str());
      const profile::Entry* entry = ours.Find(asked.first, asked.second);
      EXPECT_EQ(entry ? entry->value : "-", api);
    }
  }
}

TEST_F(ProfileApi, NumbersAreReadAsTheCallsReadThem) {
  const char* const values[] = {"  -5x", "+3", "", "abc", " 12 ", "\"7\"", "4294967297", "4294967295", "2147483648"};
  for (const char* value : values) {
    SCOPED_TRACE(value);
    std::string file = std::string("[S]\r\nn=") + value + "\r\n";
    std::string path = Write(file);
    profile::Profile ours(file.data(), file.size());
    EXPECT_EQ(ours.Int("S", "n", 77), static_cast<int>(GetPrivateProfileIntA("S", "n", 77, path.c_str())));
  }
}

// Every section the calls list and every line they give of each, as one
// text: what any reader of the file through the calls can see.
std::string SeenThroughTheCalls(const std::string& path) {
  std::vector<char> names(1 << 16), lines(1 << 20);
  DWORD size = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), path.c_str());
  std::string seen;
  for (const char* name = names.data(); name < names.data() + size; name += lstrlenA(name) + 1) {
    seen += std::string("[") + name + "]\n";
    DWORD n = GetPrivateProfileSectionA(name, lines.data(), static_cast<DWORD>(lines.size()), path.c_str());
    for (const char* line = lines.data(); line < lines.data() + n; line += lstrlenA(line) + 1) seen += line + std::string("\n");
  }
  return seen;
}

TEST_F(ProfileApi, WhatTheDocumentWritesReadsBackAsTheCallsWrite) {
  struct Edit {
    const char* section;
    const char* key;  // null: the section goes
    const char* value;  // null: the key goes
  };
  const std::vector<Edit> edits = {{"Root", "Named", "C:\\Program Files\\\x95\x5C App"},
                                   {"Check", "Menu", "2"},
                                   {"S", "a", nullptr},
                                   {"Gone", nullptr, nullptr},
                                   {"New", "k", "v"},
                                   {"\x83\x5C", "\x95\x5C", "\x83\x5C"}};
  const std::string files[] = {
      "[Before]\r\nx=1\r\n[Root]\r\nNamed=old\r\n[S]\r\na=1\r\nA=2\r\n[Gone]\r\ny=2\r\n[After]\r\nz=3\r\n",
      "[Root]\nNamed=old\n[S]\na=1\n[Check]\nMenu=1\n",
      "[S]\r\na=1\r\n[Gone]\r\ny=2",
      "; a comment\r\n[Root]\r\nName = kept\r\n",
  };
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    std::string ours = Write(file), theirs = Write(file);
    profile::Document document(platform::ResizeOnHeap);
    ASSERT_TRUE(platform::LoadIniFile(ours.c_str(), &document));
    for (const Edit& e : edits) {
      ASSERT_TRUE(document.Write(e.section, e.key, e.value));
      WritePrivateProfileStringA(e.section, e.key, e.value, theirs.c_str());
    }
    ASSERT_TRUE(platform::SaveIniFile(ours.c_str(), document));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, theirs.c_str());
    EXPECT_EQ(SeenThroughTheCalls(ours), SeenThroughTheCalls(theirs));
  }
}

TEST_F(ProfileApi, ThreeThousandRecordsReadBackThroughTheCalls) {
  std::string path = Write("[Root]\r\nNamed=C:\\App\r\n");
  profile::Document document(platform::ResizeOnHeap);
  ASSERT_TRUE(platform::LoadIniFile(path.c_str(), &document));
  profile::ListText list(platform::ResizeOnHeap, document.LineEnd());
  for (int k = 0; k < 3000; ++k) {
    std::string entry = "C:\\App\\data\\file" + std::to_string(k) + ".dat";
    ASSERT_TRUE(list.Add(entry.data(), entry.size()));
  }
  ASSERT_TRUE(document.ReplaceSection("CopiedFile", list.Finish()));
  ASSERT_TRUE(platform::SaveIniFile(path.c_str(), document));
  EXPECT_EQ(GetPrivateProfileIntA("CopiedFile", "Count", 0, path.c_str()), 3000u);
  char value[MAX_PATH];
  for (int k : {0, 1234, 2999}) {
    GetPrivateProfileStringA("CopiedFile", std::to_string(k).c_str(), "", value, sizeof value, path.c_str());
    EXPECT_EQ(value, "C:\\App\\data\\file" + std::to_string(k) + ".dat");
  }
}

}  // namespace
