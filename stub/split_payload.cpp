// Reads the stub's own file, writes the archive behind the payload block
// into the workspace and checks the column sums.
#include "payload.h"
#include "stub.h"

namespace {

// Physical reads are larger than the format's 256-byte blocks; the splitter
// cuts them into blocks exactly as 256-byte reads would.
constexpr DWORD kReadSize = 64 * 1024;

bool WriteArchive(void* context, const uint8_t* data, size_t size) {
  DWORD written = 0;
  return WriteFile(static_cast<HANDLE>(context), data, static_cast<DWORD>(size), &written, nullptr) &&
         written == size;
}

}  // namespace

int SplitPayload(const char* archivePath, const char* ownPath, int* selfRemoval, char* finalCommand) {
  HANDLE own = CreateFileA(ownPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (own == INVALID_HANDLE_VALUE) return 0;
  HANDLE archive = CreateFileA(archivePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (archive == INVALID_HANDLE_VALUE) {
    CloseHandle(own);
    return 0;
  }
  uint8_t* buffer = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, kReadSize));
  payload::Splitter splitter(io::Sink{archive, WriteArchive});
  bool settingsTaken = false;
  bool ok = buffer != nullptr;
  DWORD got;
  while (ok && ReadFile(own, buffer, kReadSize, &got, nullptr) && got != 0) {
    ok = splitter.Feed(buffer, got);
    if (splitter.blockFound() && !settingsTaken) {
      // The settings count even when the rest of the file fails.
      *selfRemoval = splitter.fields().selfRemoval;
      lstrcpynA(finalCommand, splitter.fields().finalCommand, MAX_PATH);
      settingsTaken = true;
    }
  }
  if (buffer) HeapFree(GetProcessHeap(), 0, buffer);
  CloseHandle(archive);
  CloseHandle(own);
  if (!ok) return 0;
  if (splitter.Finish() != payload::Splitter::Verdict::kIntact) {
    MessageBoxA(nullptr, "Anyone cooked this file.\nCheck your naughty brother...\n         or virus.",
                "WARNING !", MB_ICONERROR);
    return 0;
  }
  return 1;
}
