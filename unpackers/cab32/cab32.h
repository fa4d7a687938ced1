// cab32.dll: unpacks cabinets through the system's cabinet.dll.
//
//   int WINAPI Cab(HWND owner, LPCSTR command, LPSTR output, DWORD outputSize)
//
//   -x "archive" "folder\"   extracts every file below folder, folder paths
//                            included, overwriting what is there
//   -l "archive"             lists the files
//
// Exported undecorated as "Cab". Returns 0 or one of the codes below;
// `output`, when given, receives a short English report, cut to fit and
// always NUL-terminated.
#ifndef SFX_UNPACKERS_CAB32_CAB32_H
#define SFX_UNPACKERS_CAB32_CAB32_H

enum Cab32Result {
  kCab32Ok = 0,
  kCab32BadCommand = 1,
  kCab32CannotOpen = 2,   // no such archive, or it cannot be read
  kCab32NotCabinet = 3,
  kCab32Damaged = 4,      // a cabinet whose contents do not decode
  kCab32WriteFailed = 5,  // a target file or folder could not be made
  kCab32Refused = 6,      // names that would land outside the folder were skipped
  kCab32NoMemory = 7,
};

#endif  // SFX_UNPACKERS_CAB32_CAB32_H
