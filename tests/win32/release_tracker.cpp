#include "release_tracker.h"

#include <windows.h>

#include <map>
#include <string.h>

namespace tracker {
namespace {

bool g_recording = false;
std::map<const void*, const char*> g_held;  // what was taken, by handle or address
std::map<std::string, int> g_taken;
std::string g_strays;

void Take(const void* thing, const char* kind) {
  if (!g_recording || !thing) return;
  g_held[thing] = kind;
  ++g_taken[kind];
}

void Give(const void* thing, const char* kind) {
  if (!g_recording || !thing) return;
  auto found = g_held.find(thing);
  if (found == g_held.end()) {
    char line[96];
    wsprintfA(line, "%s %p released but not taken while recording\n", kind, thing);
    g_strays += line;
    return;
  }
  g_held.erase(found);
}

// The originals, kept when the import table is redirected.
HBRUSH(WINAPI* g_createSolidBrush)(COLORREF);
HFONT(WINAPI* g_createFontIndirectA)(const LOGFONTA*);
HBITMAP(WINAPI* g_createDIBitmap)(HDC, const BITMAPINFOHEADER*, DWORD, const void*, const BITMAPINFO*, UINT);
HBITMAP(WINAPI* g_createCompatibleBitmap)(HDC, int, int);
HDC(WINAPI* g_createCompatibleDC)(HDC);
HENHMETAFILE(WINAPI* g_getEnhMetaFileA)(LPCSTR);
BOOL(WINAPI* g_deleteObject)(HGDIOBJ);
BOOL(WINAPI* g_deleteDC)(HDC);
BOOL(WINAPI* g_deleteEnhMetaFile)(HENHMETAFILE);
HDC(WINAPI* g_getDC)(HWND);
int(WINAPI* g_releaseDC)(HWND, HDC);
HANDLE(WINAPI* g_createFileA)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
BOOL(WINAPI* g_closeHandle)(HANDLE);
HFILE(WINAPI* g_lopen)(LPCSTR, int);
HFILE(WINAPI* g_lclose)(HFILE);
LPVOID(WINAPI* g_heapAlloc)(HANDLE, DWORD, SIZE_T);
BOOL(WINAPI* g_heapFree)(HANDLE, DWORD, LPVOID);

const char* ObjectKind(HGDIOBJ object) {
  switch (GetObjectType(object)) {
    case OBJ_BRUSH:
      return "brush";
    case OBJ_FONT:
      return "font";
    case OBJ_BITMAP:
      return "bitmap";
  }
  return "object";
}

HBRUSH WINAPI CreateSolidBrushHook(COLORREF c) {
  HBRUSH b = g_createSolidBrush(c);
  Take(b, "brush");
  return b;
}
HFONT WINAPI CreateFontIndirectAHook(const LOGFONTA* f) {
  HFONT font = g_createFontIndirectA(f);
  Take(font, "font");
  return font;
}
HBITMAP WINAPI CreateDIBitmapHook(HDC dc, const BITMAPINFOHEADER* h, DWORD init, const void* bits,
                                  const BITMAPINFO* info, UINT usage) {
  HBITMAP b = g_createDIBitmap(dc, h, init, bits, info, usage);
  Take(b, "bitmap");
  return b;
}
HBITMAP WINAPI CreateCompatibleBitmapHook(HDC dc, int w, int h) {
  HBITMAP b = g_createCompatibleBitmap(dc, w, h);
  Take(b, "bitmap");
  return b;
}
HDC WINAPI CreateCompatibleDCHook(HDC dc) {
  HDC made = g_createCompatibleDC(dc);
  Take(made, "dc");
  return made;
}
HENHMETAFILE WINAPI GetEnhMetaFileAHook(LPCSTR name) {
  HENHMETAFILE m = g_getEnhMetaFileA(name);
  Take(m, "metafile");
  return m;
}
BOOL WINAPI DeleteObjectHook(HGDIOBJ object) {
  Give(object, ObjectKind(object));
  return g_deleteObject(object);
}
BOOL WINAPI DeleteDCHook(HDC dc) {
  Give(dc, "dc");
  return g_deleteDC(dc);
}
BOOL WINAPI DeleteEnhMetaFileHook(HENHMETAFILE m) {
  Give(m, "metafile");
  return g_deleteEnhMetaFile(m);
}
HDC WINAPI GetDCHook(HWND window) {
  HDC dc = g_getDC(window);
  Take(dc, "window dc");
  return dc;
}
int WINAPI ReleaseDCHook(HWND window, HDC dc) {
  Give(dc, "window dc");
  return g_releaseDC(window, dc);
}
HANDLE WINAPI CreateFileAHook(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD how,
                              DWORD flags, HANDLE model) {
  HANDLE file = g_createFileA(name, access, share, security, how, flags, model);
  if (file != INVALID_HANDLE_VALUE) Take(file, "file");
  return file;
}
BOOL WINAPI CloseHandleHook(HANDLE handle) {
  Give(handle, "file");
  return g_closeHandle(handle);
}
HFILE WINAPI LopenHook(LPCSTR name, int how) {
  HFILE file = g_lopen(name, how);
  if (file != HFILE_ERROR) Take(reinterpret_cast<void*>(static_cast<INT_PTR>(file)), "file");
  return file;
}
HFILE WINAPI LcloseHook(HFILE file) {
  Give(reinterpret_cast<void*>(static_cast<INT_PTR>(file)), "file");
  return g_lclose(file);
}
// While recording, each heap block ends where an inaccessible page
// begins, so that reading or writing one byte past it faults at once.
constexpr SIZE_T kPage = 4096;
std::map<const void*, void*> g_guarded;  // block -> its reservation

LPVOID WINAPI HeapAllocHook(HANDLE heap, DWORD flags, SIZE_T size) {
  if (!g_recording) return g_heapAlloc(heap, flags, size);
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
  Give(block, "heap");
  auto guarded = g_guarded.find(block);
  if (guarded == g_guarded.end()) return g_heapFree(heap, flags, block);
  VirtualFree(guarded->second, 0, MEM_RELEASE);
  g_guarded.erase(guarded);
  return TRUE;
}

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
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

// Points the entry at `hook`, keeping the original in `original`. A
// function this program does not import is left alone.
template <typename F>
void Redirect(const char* dll, const char* function, F* original, F hook) {
  void** slot = ImportSlot(dll, function);
  if (!slot) return;
  DWORD protection;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  *original = reinterpret_cast<F>(*slot);
  *slot = reinterpret_cast<void*>(hook);
  VirtualProtect(slot, sizeof *slot, protection, &protection);
}

void Install() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  Redirect("gdi32.dll", "CreateSolidBrush", &g_createSolidBrush, CreateSolidBrushHook);
  Redirect("gdi32.dll", "CreateFontIndirectA", &g_createFontIndirectA, CreateFontIndirectAHook);
  Redirect("gdi32.dll", "CreateDIBitmap", &g_createDIBitmap, CreateDIBitmapHook);
  Redirect("gdi32.dll", "CreateCompatibleBitmap", &g_createCompatibleBitmap, CreateCompatibleBitmapHook);
  Redirect("gdi32.dll", "CreateCompatibleDC", &g_createCompatibleDC, CreateCompatibleDCHook);
  Redirect("gdi32.dll", "GetEnhMetaFileA", &g_getEnhMetaFileA, GetEnhMetaFileAHook);
  Redirect("gdi32.dll", "DeleteObject", &g_deleteObject, DeleteObjectHook);
  Redirect("gdi32.dll", "DeleteDC", &g_deleteDC, DeleteDCHook);
  Redirect("gdi32.dll", "DeleteEnhMetaFile", &g_deleteEnhMetaFile, DeleteEnhMetaFileHook);
  Redirect("user32.dll", "GetDC", &g_getDC, GetDCHook);
  Redirect("user32.dll", "ReleaseDC", &g_releaseDC, ReleaseDCHook);
  Redirect("kernel32.dll", "CreateFileA", &g_createFileA, CreateFileAHook);
  Redirect("kernel32.dll", "CloseHandle", &g_closeHandle, CloseHandleHook);
  Redirect("kernel32.dll", "_lopen", &g_lopen, LopenHook);
  Redirect("kernel32.dll", "_lclose", &g_lclose, LcloseHook);
  Redirect("kernel32.dll", "HeapAlloc", &g_heapAlloc, HeapAllocHook);
  Redirect("kernel32.dll", "HeapFree", &g_heapFree, HeapFreeHook);
}

}  // namespace

void Start() {
  Install();
  g_held.clear();
  g_taken.clear();
  g_strays.clear();
  g_recording = true;
}

std::string Stop() {
  g_recording = false;
  std::string report = g_strays;
  for (const auto& held : g_held) {
    char line[96];
    wsprintfA(line, "%s %p still held\n", held.second, held.first);
    report += line;
  }
  return report;
}

int Taken(const char* kind) {
  auto found = g_taken.find(kind);
  return found == g_taken.end() ? 0 : found->second;
}

}  // namespace tracker
