#include "built_file.h"

namespace driver {

const StubProgram kStubPrograms[4] = {
    {"stub-exe", "exe", "$.exe", nullptr, "Extracting...\n\nSelf-extracting program"},
    {"stub-extract", "extract", "$.cab", nullptr, "Extracting...by EXTRAC*.EXE"},
    {"stub-lzh", "lzh", "$.lzh", "lzhdec32.dll", "Extracting...\nby LZHDEC32.DLL"},
    {"stub-cab", "cab", "$.cab", "cab32.dll", "Extracting...\nby CAB32.DLL"},
};

std::string SfxbuildCommand(const std::string& arguments) {
  return "\"" + ProgramFolder() + "\\sfxbuild.exe\" " + arguments;
}

std::string WorkspaceOf(const std::string& makingText) {
  size_t open = makingText.find('"'), close = makingText.rfind('"');
  if (open == std::string::npos || close <= open) return std::string();
  return makingText.substr(open + 1, close - open - 1);
}

std::string WorkspaceIn(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\$JP*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return std::string();
  FindClose(find);
  return folder + "\\" + entry.cFileName;
}

bool IsWorkspaceName(const std::string& path, const std::string& folder) {
  std::string start = Joined(folder, "$JP");
  if (path.rfind(start, 0) != 0) return false;
  std::string digits = path.substr(start.size());
  // A name taken by an earlier run's folder gets a suffix "-1" to "-9".
  if (digits.size() > 2 && digits[digits.size() - 2] == '-' && digits.back() >= '1' && digits.back() <= '9')
    digits.resize(digits.size() - 2);
  return !digits.empty() && digits.size() <= 4 &&
         digits.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

std::string CountText(size_t files, size_t bytes) {
  auto grouped = [](size_t value) {
    std::string digits = std::to_string(value);
    for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return digits;
  };
  return grouped(files) + (files > 1 ? " Files\n" : " File\n") + grouped(bytes) + (bytes > 1 ? " Bytes" : " Byte");
}

std::vector<std::string> WholeRunTexts(const std::string& workspace, const std::string& extracting,
                                       const std::string& transport) {
  return {
      "Making folder\n\"" + workspace + "\"\nas workspace...",
      "Dividing data...\nfrom me.",
      extracting,
      transport,
      "Deleting workspace...",
  };
}

DWORD ProgressRun::MillisecondsBetween(const std::string& from, size_t next) const {
  for (size_t i = 0; i + next < texts.size(); ++i)
    if (texts[i] == from) return at[i + next] - at[i];
  return 0xFFFFFFFF;
}

ProgressRun FollowProgress(Process process, const std::string& title, DWORD timeoutMs,
                           const std::function<void(const ProgressRun& run)>& onChange) {
  ProgressRun run;
  run.process = std::move(process);
  EXPECT_TRUE(run.process.started());
  run.window = WaitForWindow(run.process.id(), "#32770", title.c_str(), 10000);
  EXPECT_NE(run.window, nullptr) << "no progress window titled " << title;
  if (!run.window) return run;
  FollowTexts(run.process, run.window, IDC_PROGRESS_TEXT, timeoutMs, [&](const std::string& text) {
    // The first tick may find the text still empty.
    if (run.texts.empty() && text.empty()) return;
    run.texts.push_back(text);
    run.at.push_back(GetTickCount());
    if (run.workspace.empty()) run.workspace = WorkspaceOf(text);
    if (onChange) onChange(run);
  });
  run.ended = run.process.Wait(10000, &run.code);
  return run;
}

void BuiltFileTest::SetUp() {
  ScratchTest::SetUp();
  temp_ = root_ + "\\temp dir";
  dest_ = root_ + "\\dest";
  // The workspace lies below a folder with a blank in its name.
  ASSERT_TRUE(MakeFolders(temp_));
  ASSERT_TRUE(MakeFolders(dest_));
  environment_ = {{"TMP", temp_}, {"TEMP", temp_}, {"SFX_E2E_DEST", dest_}};
}

void BuiltFileTest::Put(const std::string& relative, const std::string& bytes) {
  ASSERT_TRUE(PutFile(root_ + "\\app\\" + relative, bytes)) << relative;
}

void BuiltFileTest::PutSampleApp() {
  Put("[shell]\\read me.txt", "read me\r\n");
  Put("[Environment]\\SFX_E2E_DEST\\a.dll", std::string(1000, 'a'));
  Put("[Environment]\\SFX_E2E_DEST\\sub\\b.dll", RandomBytes(40000, 1));
  Put("[Temporary]\\c.txt", std::string(123, 'c'));
  Put("[Temporary]\\d e.txt", "0123456789");
  Put("loose.txt", std::string(50, 'l'));
}

void BuiltFileTest::ExpectSampleAppDistributed() {
  EXPECT_TRUE(ReadFileBytes(dest_ + "\\sub\\b.dll") == RandomBytes(40000, 1));
  EXPECT_EQ(ReadFileBytes(dest_ + "\\a.dll"), std::string(1000, 'a'));
  EXPECT_EQ(ReadFileBytes(temp_ + "\\c.txt"), std::string(123, 'c'));
  EXPECT_EQ(ReadFileBytes(temp_ + "\\d e.txt"), "0123456789");
  EXPECT_FALSE(Exists(dest_ + "\\read me.txt"));
}

std::string BuiltFileTest::Pack(const std::string& output, const std::string& arguments) {
  std::string built = root_ + "\\" + output;
  std::string command = SfxbuildCommand("pack " + arguments + " -o \"" + built + "\"");
  EXPECT_EQ(RunToEnd(command, root_), 0) << command;
  return built;
}

std::string BuiltFileTest::PackFolder(const std::string& output, const std::string& options) {
  std::string built = Pack(output, options + " --from \"" + root_ + "\\app\"");
  RemoveTree(root_ + "\\app");
  return built;
}

std::string BuiltFileTest::PackArchive(const std::string& output, const std::string& stub,
                                       const std::string& archive, const std::string& options) {
  return Pack(output, "--stub \"" + ProgramFolder() + "\\" + stub + ".exe\" --archive \"" + archive + "\" " + options);
}

Process BuiltFileTest::Start(const std::string& built, const std::string& arguments, const std::string& folder) {
  return driver::Start("\"" + built + "\"" + arguments, folder.empty() ? root_ : folder, &environment_);
}

ProgressRun BuiltFileTest::Run(const std::string& built, const std::function<void(const ProgressRun& run)>& onChange) {
  std::string title = NameOf(built);
  ProgressRun run = FollowProgress(Start(built), title.substr(0, title.rfind('.')), kRunTimeoutMs, onChange);
  EXPECT_TRUE(run.ended) << built << " still runs";
  return run;
}

}  // namespace driver
