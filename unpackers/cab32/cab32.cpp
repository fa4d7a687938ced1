// cab32.dll: the command-line face of the shared FDI extraction.
#include <windows.h>

#include "cab32.h"
#include "command_line.h"
#include "fdi_extract.h"
#include "text.h"

namespace {

constexpr DWORD kCommandSize = 1040;

constexpr bool Same(int fdi, int cab32) { return fdi == cab32; }
static_assert(Same(kFdiOk, kCab32Ok) && Same(kFdiCannotOpen, kCab32CannotOpen) &&
                  Same(kFdiNotCabinet, kCab32NotCabinet) && Same(kFdiDamaged, kCab32Damaged) &&
                  Same(kFdiWriteFailed, kCab32WriteFailed) && Same(kFdiRefused, kCab32Refused) &&
                  Same(kFdiNoMemory, kCab32NoMemory),
              "the shared extraction answers with cab32's results");

int Run(FdiJob* job, const char* command) {
  // The option, the archive and the folder, which may be missing; words
  // after it are ignored.
  char words[3][MAX_PATH];
  words[1][0] = words[2][0] = '\0';
  const char* p = command;
  Argument taken = Argument::kTaken;
  for (int i = 0; i < 3 && taken == Argument::kTaken; ++i) taken = NextArgument(&p, words[i], MAX_PATH);
  char* option = words[0];
  char* archive = words[1];
  char* folder = words[2];
  if (taken == Argument::kTooLong || taken == Argument::kOpenQuote || (option[0] != '-' && option[0] != '/') ||
      option[2] != '\0' || !archive[0]) {
    FdiReport(job, "usage: -x \"archive\" \"folder\\\" | -l \"archive\"");
    return kCab32BadCommand;
  }
  char letter = static_cast<char>(option[1] & ~0x20);  // upper case for letters; 'X' and 'L' come from no other byte
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
      FdiReportName(job, "cannot make folder ", job->folder);
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
