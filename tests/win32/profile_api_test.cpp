// The builder's private-profile reader against the calls setup reads its
// Setup.ini with: the same files, the same keys, the same answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "profile.h"

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

}  // namespace
