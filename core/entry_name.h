// Which archive entries may be unpacked, and where: one rule for every
// unpacker of the kit (lzhdec32.dll and lzhdec, cab32.dll, innersfx.exe)
// and for the builder, which refuses to pack what they would refuse.
#ifndef SFX_CORE_ENTRY_NAME_H
#define SFX_CORE_ENTRY_NAME_H

#include <stddef.h>

#include "result.h"

namespace archive {

// Turns an entry's name as the archive stores it into the relative path it
// is unpacked to below the target folder. An absolute name lands below the
// target as lhasa, tar and 7-Zip unpack it: a drive's letter with its
// colon and the leading separators are dropped ("/Mounted Volume/a",
// "C:\\a" and "\\a" give "Mounted Volume/a", "a" and "a"). Parts are
// separated by '/' or '\\' (a '\\' that is the second byte of a code
// page 932 character is none); empty and "." parts are dropped and the
// rest joined with `separator`. `clean` needs `length` + 1 bytes.
//
// Refused, as kUnsafeName with `clean` empty: a ':' anywhere else (a
// drive inside the path, or a stream of a file); a part of only dots and
// blanks ("..", "...", ". .", all of which Windows reads as the folder
// above); a device name in any case, with or without an extension and
// blanks before it (CON, PRN, AUX, NUL, CLOCK$, CONIN$, CONOUT$, COM1 to
// COM9, LPT1 to LPT9); a control character or one of * ? " < > |, which
// no Windows name holds; and a name that leaves nothing. Parts are also
// checked as split at every 0x5C byte, as a reader in another code page
// would split them.
core::Result CleanEntryName(const char* name, size_t length, char separator, char* clean, size_t* cleanLength);

}  // namespace archive

#endif  // SFX_CORE_ENTRY_NAME_H
