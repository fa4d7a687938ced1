// cab32.dll: the command-line face of the shared FDI extraction.
#include <windows.h>

#include "cab32.h"
#include "fdi_extract.h"

namespace {

constexpr DWORD kCommandSize = 1040;

constexpr bool Same(int fdi, int cab32) { return fdi == cab32; }
static_assert(Same(kFdiOk, kCab32Ok) && Same(kFdiCannotOpen, kCab32CannotOpen) &&
                  Same(kFdiNotCabinet, kCab32NotCabinet) && Same(kFdiDamaged, kCab32Damaged) &&
                  Same(kFdiWriteFailed, kCab32WriteFailed) && Same(kFdiRefused, kCab32Refused) &&
                  Same(kFdiNoMemory, kCab32NoMemory),
              "the shared extraction answers with cab32's results");

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The next word of a command, quoted or not, into `word` (MAX_PATH).
const char* NextWord(const char* p, char* word) {
  while (*p == ' ' || *p == '\t') ++p;
  int length = 0;
  bool quoted = false;
  for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
    if (*p == '"') {
      quoted = !quoted;
    } else if (length < MAX_PATH - 1) {
      word[length++] = *p;
    } else {
      word[0] = '\0';  // too long for a path: taken as missing
      return nullptr;
    }
  }
  word[length] = '\0';
  return p;
}

int Run(FdiJob* job, const char* command) {
  char option[MAX_PATH], archive[MAX_PATH], folder[MAX_PATH];
  const char* p = NextWord(command, option);
  if (p) p = NextWord(p, archive);
  if (p) p = NextWord(p, folder);
  if (!p || (option[0] != '-' && option[0] != '/') || option[2] != '\0' || !archive[0]) {
    FdiReport(job, "usage: -x \"archive\" \"folder\\\" | -l \"archive\"");
    return kCab32BadCommand;
  }
  char letter = Upper(option[1]);
  if (letter != 'X' && letter != 'L') {
    FdiReport(job, "unknown command");
    return kCab32BadCommand;
  }
  job->list = letter == 'L';
  if (!job->list) {
    if (!folder[0] && !GetCurrentDirectoryA(MAX_PATH, folder)) return kCab32BadCommand;
    int length = lstrlenA(folder);
    char* last = CharPrevA(folder, folder + length);
    if (length && *last != '\\' && *last != '/') {
      if (length + 1 >= MAX_PATH) return kCab32BadCommand;
      lstrcatA(folder, "\\");
    }
    lstrcpyA(job->folder, folder);
    if (!FdiMakeParentFolders(job->folder, 3)) {
      FdiReport(job, "cannot make folder ");
      FdiReport(job, job->folder);
      FdiReport(job, "\r\n");
      return kCab32WriteFailed;
    }
  }

  int result = FdiExtract(job, archive);
  char summary[96];
  wsprintfA(summary, "%lu files, %lu bytes%s", job->files, static_cast<unsigned long>(job->bytes),
            job->list ? "" : " extracted");
  FdiReport(job, summary);
  return result;
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI Cab(HWND, LPCSTR command, LPSTR output, DWORD outputSize) {
  FdiJob job;
  ZeroMemory(&job, sizeof job);
  job.out = output;
  job.outSize = outputSize;
  if (output && outputSize) output[0] = '\0';
  if (!command || lstrlenA(command) >= static_cast<int>(kCommandSize)) {
    FdiReport(&job, "no command");
    return kCab32BadCommand;
  }
  return Run(&job, command);
}

extern "C" BOOL WINAPI DllEntry(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
