// Every corpus archive the reader supports extracts to the same tree as
// lhasa makes from it (names compared without case: lhasa lower-cases
// MS-DOS names, lzhdec keeps the archive's bytes).
#include <gtest/gtest.h>

#include <chrono>

#include "lzh_test_util.h"

namespace {

using namespace lzhtest;

// Archives whose lhasa tree is not the reference, and why.
const std::map<std::string, std::string> kSkipped = {
    {"generated/pm1/pm1.pma", "-pm1- is not supported"},
    {"lha_unix114i/h0_subdir.lzh", "lhasa reads no entries from it (empty level-0 names)"},
    {"lh2_222/easubdir.lzh", "a file and a folder share a name; both tools fail"},
    {"maclha_224/l1_full_subdir.lzh", "MacBinary wrapper"},
    {"maclha_224/l2_full_subdir.lzh", "MacBinary wrapper"},
    {"maclha_224/l0_lh0.lzh", "MacBinary wrapper: kept as archived, lhasa strips it"},
    {"maclha_224/l0_lh1.lzh", "MacBinary wrapper"},
    {"maclha_224/l0_lh5.lzh", "MacBinary wrapper"},
    {"maclha_224/l1_lh0.lzh", "MacBinary wrapper"},
    {"maclha_224/l1_lh1.lzh", "MacBinary wrapper"},
    {"maclha_224/l1_lh5.lzh", "MacBinary wrapper"},
    {"maclha_224/l1_subdir.lzh", "MacBinary wrapper"},
    {"maclha_224/l2_lh0.lzh", "MacBinary wrapper"},
    {"maclha_224/l2_lh1.lzh", "MacBinary wrapper"},
    {"maclha_224/l2_lh5.lzh", "MacBinary wrapper"},
    {"maclha_224/l2_subdir.lzh", "MacBinary wrapper"},
    {"regression/badterm.lzh", "hostile"},
    {"regression/dotdot.lzh", "hostile"},
    {"regression/symlink1.lzh", "hostile"},
    {"regression/symlink2.lzh", "hostile"},
    {"regression/symlink3.lzh", "hostile"},
    {"regression/truncated.lzh", "hostile"},
};

std::vector<std::string> CorpusArchives() {
  std::vector<std::string> names;
  if (!fs::is_directory(kCorpus)) return names;
  for (auto& e : fs::recursive_directory_iterator(kCorpus)) {
    std::string name = e.path().filename().string();
    if (!e.is_regular_file() || name == "README" || e.path().extension() == ".md") continue;
    names.push_back(fs::relative(e.path(), kCorpus).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool HasLinks(const std::string& archive) {
  return archive.find("symlink") != std::string::npos;
}

// lhasa makes the folder a link sits in; with the link skipped, lzhdec has
// nothing to put there.
Tree WithoutEmptyFolders(Tree tree) {
  for (auto it = tree.begin(); it != tree.end();) {
    auto next = std::next(it);
    bool empty = it->second == "<dir>" && (next == tree.end() || next->first.rfind(it->first + "/", 0) != 0);
    it = empty ? tree.erase(it) : next;
  }
  return tree;
}

// Each file's change time, by relative path (lower-cased, as ReadTree).
std::map<std::string, long long> FileTimes(const std::string& root) {
  std::map<std::string, long long> times;
  for (const auto& [path, content] : ReadTree(root, false)) {
    if (content == "<dir>") continue;
    std::string key = path;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    times[key] = std::chrono::duration_cast<std::chrono::seconds>(
                     fs::last_write_time(root + "/" + path).time_since_epoch()).count();
  }
  return times;
}

TEST(LzhConformance, CorpusMatchesLhasa) {
  REQUIRE_CORPUS(kCorpus);
  std::vector<std::string> archives = CorpusArchives();
  ASSERT_FALSE(archives.empty()) << "no archives in " << kCorpus;
  REQUIRE_TOOL("lhasa");
  int compared = 0;
  for (const std::string& name : archives) {
    SCOPED_TRACE(name);
    if (kSkipped.count(name)) continue;
    std::string archive = kCorpus + "/" + name;
    TempDir reference, ours;
    Sh("cd " + Quote(reference.path()) + " && lhasa -xq " + Quote(archive));
    ToolRun run = Lzhdec("x", archive, ours.path());
    // Link entries are skipped and reported, which makes the run fail.
    EXPECT_EQ(run.code, HasLinks(name) ? 8 : 0) << run.out;
    Tree expected = ReadTree(reference.path(), true);
    if (HasLinks(name)) expected = WithoutEmptyFolders(expected);
    EXPECT_EQ(ReadTree(ours.path(), true), expected);
    // Installers compare these times with the files they would replace.
    EXPECT_EQ(FileTimes(ours.path()), FileTimes(reference.path()));
    ToolRun test = Lzhdec("t", archive);
    EXPECT_EQ(test.code, HasLinks(name) ? 8 : 0) << test.out;
    ++compared;
  }
  EXPECT_GE(compared, 60);
}

TEST(LzhConformance, ListingNamesEveryEntry) {
  std::string archive = kCorpus + "/lha_unix114i/h2_subdir.lzh";
  REQUIRE_CORPUS(archive);
  REQUIRE_TOOL("lhasa");
  ToolRun run = Lzhdec("l", archive);
  EXPECT_EQ(run.code, 0);
  ToolRun lhasa = Sh("lhasa -l " + Quote(archive));
  EXPECT_NE(run.out.find("subdir/subdir2/hello.txt"), std::string::npos) << run.out;
  EXPECT_NE(lhasa.out.find("subdir/subdir2/hello.txt"), std::string::npos) << lhasa.out;
}

TEST(LzhConformance, UnsupportedMethodIsReportedAndSkipped) {
  std::string archive = kCorpus + "/generated/pm1/pm1.pma";
  REQUIRE_CORPUS(archive);
  TempDir out;
  ToolRun run = Lzhdec("x", archive, out.path());
  EXPECT_EQ(run.code, 6);  // kUnsupportedMethod
  EXPECT_NE(run.out.find("unsupported method -pm1-"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::is_empty(out.path()));
}

TEST(LzhConformance, SymbolicLinksAreNeverCreated) {
  for (const char* name : {"lha_unix114i/h1_symlink3.lzh", "regression/symlink2.lzh", "regression/symlink3.lzh"}) {
    std::string archive = kCorpus + "/" + name;
    REQUIRE_CORPUS(archive);
    TempDir parent;
    fs::create_directory(parent / "out");
    ToolRun run = Lzhdec("x", archive, parent / "out");
    EXPECT_NE(run.code, 0) << name;
    EXPECT_NE(run.out.find("symbolic link skipped"), std::string::npos) << run.out;
    for (auto& e : fs::recursive_directory_iterator(parent.path()))
      EXPECT_FALSE(e.is_symlink()) << e.path();
    // Nothing beside the target folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(parent.path()), fs::directory_iterator()), 1);
  }
}

}  // namespace
