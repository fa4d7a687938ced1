#include "release_tracker.h"

#include <string.h>
#include <windows.h>

#include <map>
#include <vector>

namespace tracker {
namespace {

bool g_recording = false;
std::map<const void*, const char*> g_held;  // by handle or address: its kind
std::map<std::string, int> g_taken;
std::string g_report;

void Take(const void* thing, const char* kind) {
  if (!g_recording || !thing) return;
  g_held[thing] = kind;
  ++g_taken[kind];
}
void Give(const void* thing) {
  if (!g_recording || !thing) return;
  if (g_held.erase(thing) == 0) {
    char line[64];
    wsprintfA(line, "%p released but not taken while recording\n", thing);
    g_report += line;
  }
}
const void* AsHandle(const void* handle) { return handle; }
const void* AsHandle(HFILE file) { return reinterpret_cast<const void*>(static_cast<INT_PTR>(file)); }

struct Entry {
  const char* dll;
  const char* name;
  void** original;
  void* hook;
};
std::vector<Entry>& Entries() {
  static std::vector<Entry> entries;
  return entries;
}
struct Enlist {
  Enlist(const char* dll, const char* name, void** original, void* hook) {
    Entries().push_back({dll, name, original, hook});
  }
};

// Stand-ins for `name` that call the original and record its result (a
// failure, null or -1, takes nothing), or its argument `given`.
#define TAKING(dll, R, name, params, args, kind)                \
  R(WINAPI* name##Original) params;                             \
  R WINAPI name##Hook params {                                  \
    R result = name##Original args;                             \
    if (result != (R)HFILE_ERROR) Take(AsHandle(result), kind); \
    return result;                                              \
  }                                                             \
  Enlist name##Entry(dll, #name, reinterpret_cast<void**>(&name##Original), reinterpret_cast<void*>(name##Hook));
#define GIVING(dll, R, name, params, args, given) \
  R(WINAPI* name##Original) params;               \
  R WINAPI name##Hook params {                    \
    Give(AsHandle(given));                        \
    return name##Original args;                   \
  }                                               \
  Enlist name##Entry(dll, #name, reinterpret_cast<void**>(&name##Original), reinterpret_cast<void*>(name##Hook));

TAKING("gdi32.dll", HBRUSH, CreateSolidBrush, (COLORREF a), (a), "brush")
TAKING("gdi32.dll", HFONT, CreateFontIndirectA, (const LOGFONTA* a), (a), "font")
TAKING("gdi32.dll", HBITMAP, CreateDIBitmap,
       (HDC a, const BITMAPINFOHEADER* b, DWORD c, const void* d, const BITMAPINFO* e, UINT f), (a, b, c, d, e, f),
       "bitmap")
TAKING("gdi32.dll", HBITMAP, CreateCompatibleBitmap, (HDC a, int b, int c), (a, b, c), "bitmap")
TAKING("gdi32.dll", HDC, CreateCompatibleDC, (HDC a), (a), "dc")
TAKING("gdi32.dll", HENHMETAFILE, GetEnhMetaFileA, (LPCSTR a), (a), "metafile")
TAKING("user32.dll", HDC, GetDC, (HWND a), (a), "window dc")
TAKING("kernel32.dll", HANDLE, CreateFileA,
       (LPCSTR a, DWORD b, DWORD c, LPSECURITY_ATTRIBUTES d, DWORD e, DWORD f, HANDLE g), (a, b, c, d, e, f, g), "file")
TAKING("kernel32.dll", HFILE, _lopen, (LPCSTR a, int b), (a, b), "file")
GIVING("gdi32.dll", BOOL, DeleteObject, (HGDIOBJ a), (a), a)
GIVING("gdi32.dll", BOOL, DeleteDC, (HDC a), (a), a)
GIVING("gdi32.dll", BOOL, DeleteEnhMetaFile, (HENHMETAFILE a), (a), a)
GIVING("user32.dll", int, ReleaseDC, (HWND a, HDC b), (a, b), b)
GIVING("kernel32.dll", BOOL, CloseHandle, (HANDLE a), (a), a)
GIVING("kernel32.dll", HFILE, _lclose, (HFILE a), (a), a)

// While recording, each heap block ends where an inaccessible page
// begins, so that reading or writing past it faults at once.
constexpr SIZE_T kPage = 4096;
std::map<const void*, void*> g_guarded;  // block: its reservation
LPVOID(WINAPI* HeapAllocOriginal)(HANDLE, DWORD, SIZE_T);
BOOL(WINAPI* HeapFreeOriginal)(HANDLE, DWORD, LPVOID);
LPVOID WINAPI HeapAllocHook(HANDLE heap, DWORD flags, SIZE_T size) {
  if (!g_recording) return HeapAllocOriginal(heap, flags, size);
  SIZE_T usable = (size + kPage - 1) / kPage * kPage;
  auto* base = static_cast<BYTE*>(VirtualAlloc(nullptr, usable + kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  if (!base) return nullptr;
  DWORD protection;
  VirtualProtect(base + usable, kPage, PAGE_NOACCESS, &protection);
  BYTE* block = base + usable - size;  // zero-filled, as VirtualAlloc leaves it
  g_guarded[block] = base;
  Take(block, "heap");
  return block;
}
BOOL WINAPI HeapFreeHook(HANDLE heap, DWORD flags, LPVOID block) {
  Give(block);
  auto guarded = g_guarded.find(block);
  if (guarded == g_guarded.end()) return HeapFreeOriginal(heap, flags, block);
  VirtualFree(guarded->second, 0, MEM_RELEASE);
  g_guarded.erase(guarded);
  return TRUE;
}
Enlist heapAlloc("kernel32.dll", "HeapAlloc", reinterpret_cast<void**>(&HeapAllocOriginal),
                 reinterpret_cast<void*>(HeapAllocHook));
Enlist heapFree("kernel32.dll", "HeapFree", reinterpret_cast<void**>(&HeapFreeOriginal),
                reinterpret_cast<void*>(HeapFreeHook));

// The import table entry of `function` from `dll` in this program.
void** ImportSlot(const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) && strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

}  // namespace

void Start() {
  static bool installed = false;
  for (const Entry& e : Entries()) {
    void** slot = installed ? nullptr : ImportSlot(e.dll, e.name);
    if (!slot) continue;  // a function this program does not import
    DWORD protection;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *e.original = *slot;
    *slot = e.hook;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
  }
  installed = true;
  g_held.clear();
  g_taken.clear();
  g_report.clear();
  g_recording = true;
}

std::string Stop() {
  g_recording = false;
  for (const auto& held : g_held) {
    char line[64];
    wsprintfA(line, "%s %p still held\n", held.second, held.first);
    g_report += line;
  }
  return g_report;
}

int Taken(const char* kind) { return g_taken[kind]; }

}  // namespace tracker
