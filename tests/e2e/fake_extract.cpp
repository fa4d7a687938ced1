// Stands in for the extract.exe of the Windows 95 family, which Wine lacks:
//   extract.exe /Y /E /L FOLDER CABINET
// unpacks every file of CABINET below FOLDER and then, like the original
// under some shells, never ends by itself. When SFX_EXTRACT_LOG names a
// file, the process id is appended to it once the files are out.
#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Arguments(const char* line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (const char* p = line;; ++p) {
    if (*p == '"') {
      quoted = !quoted;
      any = true;
    } else if (*p == '\0' || (!quoted && (*p == ' ' || *p == '\t'))) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
      if (!*p) break;
    } else {
      word += *p;
      any = true;
    }
  }
  return words;
}

UINT CALLBACK OnFile(PVOID context, UINT notification, UINT_PTR param1, UINT_PTR) {
  if (notification != SPFILENOTIFY_FILEINCABINET) return NO_ERROR;
  auto* info = reinterpret_cast<FILE_IN_CABINET_INFO_A*>(param1);
  std::string target = *static_cast<std::string*>(context) + "\\" + info->NameInCabinet;
  for (size_t slash = target.find('\\', 3); slash != std::string::npos; slash = target.find('\\', slash + 1))
    CreateDirectoryA(target.substr(0, slash).c_str(), nullptr);
  lstrcpynA(info->FullTargetName, target.c_str(), MAX_PATH);
  return FILEOP_DOIT;
}

}  // namespace

int main() {
  std::vector<std::string> words = Arguments(GetCommandLineA());
  std::string folder, cabinet;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "/L" && i + 1 < words.size()) folder = words[++i];
    else if (words[i][0] != '/') cabinet = words[i];
  }
  if (folder.empty() || cabinet.empty()) return 2;
  if (!SetupIterateCabinetA(cabinet.c_str(), 0, OnFile, &folder)) return 1;
  char log[MAX_PATH];
  if (GetEnvironmentVariableA("SFX_EXTRACT_LOG", log, sizeof log)) {
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    std::string line = std::to_string(GetCurrentProcessId()) + "\r\n";
    DWORD written;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
  }
  Sleep(INFINITE);
  return 0;
}
