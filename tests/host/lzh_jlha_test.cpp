// Archives made by jlha, the Java LHA archiver (methods 5, 6, 7; header
// levels 0, 1, 2), extract to exactly the tree that was packed, names
// included.
#include <gtest/gtest.h>

#include <random>

#include "lzh_test_util.h"

namespace {

using namespace lzhtest;

// "テスト.txt": jlha's y switch stores it as these code page 932 bytes.
const std::string kUtf8Name = "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.txt";
const std::string kSjisName = "\x83\x65\x83\x58\x83\x67.txt";

// Text-like runs with repeats at every distance up to 64 KiB, mixed with
// noise, so literals, short and far matches all occur.
Bytes MixedData(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  static const char* const kWords[] = {"Install", "folder", "setup.exe", "\r\n", "DLL", " ", "version 2.1", "\x83\x65"};
  Bytes data;
  while (data.size() < size) {
    switch (random() % 4) {
      case 0: {
        std::string w = kWords[random() % 8];
        data.insert(data.end(), w.begin(), w.end());
        break;
      }
      case 1:
        for (int i = 0; i < 16; ++i) data.push_back(static_cast<uint8_t>(random()));
        break;
      default:
        if (data.size() > 300) {
          size_t distance = 1 + random() % std::min<size_t>(data.size() - 1, 65536);
          size_t length = 3 + random() % 254;
          size_t from = data.size() - distance;
          for (size_t i = 0; i < length; ++i) data.push_back(data[from + i]);
        }
    }
  }
  data.resize(size);
  return data;
}

class JlhaRoundTrip : public ::testing::TestWithParam<std::tuple<int, int>> {
 protected:
  static void SetUpTestSuite() {
    input_ = new TempDir;
    const TempDir& in = *input_;
    fs::create_directories(in / "docs/deep");
    WriteAll(in / "empty.txt", {});
    WriteAll(in / "one.bin", {0x42});
    WriteAll(in / "exact64k.bin", MixedData(65536, 1));
    WriteAll(in / "onemeg.bin", MixedData(1 << 20, 2));
    WriteAll(in / "docs/readme.txt", MixedData(5000, 3));
    WriteAll(in / "docs/deep/zeros.bin", Bytes(300000, 0));
    WriteAll(in / ("docs/" + kUtf8Name), MixedData(777, 4));
  }
  static void TearDownTestSuite() {
    delete input_;
    input_ = nullptr;
  }
  static TempDir* input_;
};
TempDir* JlhaRoundTrip::input_ = nullptr;

TEST_P(JlhaRoundTrip, ExtractsWhatWasPacked) {
  REQUIRE_TOOL("jlha");
  auto [method, level] = GetParam();
  TempDir work;
  std::string archive = work / "made.lzh";
  ToolRun pack = Sh("cd " + Quote(input_->path()) + " && LANG=C.UTF-8 jlha c" + std::to_string(level) + "o" +
                       std::to_string(method) + "y " + Quote(archive) + " empty.txt one.bin exact64k.bin onemeg.bin docs");
  ASSERT_EQ(pack.code, 0) << pack.out;

  ToolRun list = Lzhdec("l", archive);
  ASSERT_EQ(list.code, 0) << list.out;
  EXPECT_NE(list.out.find("-lh" + std::to_string(method) + "- 1048576 onemeg.bin"), std::string::npos) << list.out;

  ToolRun run = Lzhdec("x", archive, work / "out");
  ASSERT_EQ(run.code, 0) << run.out;
  Tree expected = ReadTree(input_->path(), false);
  auto node = expected.extract("docs/" + kUtf8Name);
  ASSERT_FALSE(node.empty());
  expected["docs/" + kSjisName] = node.mapped();
  EXPECT_EQ(ReadTree(work / "out", false), expected);
}

INSTANTIATE_TEST_SUITE_P(MethodsAndLevels, JlhaRoundTrip,
                         ::testing::Combine(::testing::Values(5, 6, 7), ::testing::Values(0, 1, 2)));

TEST(JlhaOverwrite, ExtractingTwiceReplacesFiles) {
  REQUIRE_TOOL("jlha");
  TempDir work;
  fs::create_directory(work / "in");
  WriteAll(work / "in/a.txt", MixedData(10000, 9));
  ASSERT_EQ(Sh("cd " + Quote(work / "in") + " && jlha c a.lzh a.txt").code, 0);
  fs::create_directory(work / "out");
  WriteAll(work / "out/a.txt", Bytes(20000, 'x'));  // longer than the packed file
  ASSERT_EQ(Lzhdec("x", work / "in/a.lzh", work / "out").code, 0);
  EXPECT_EQ(ReadAll(work / "out/a.txt"), ReadAll(work / "in/a.txt"));
}

}  // namespace
