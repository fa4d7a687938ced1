// Turns a folder of token folders into a cabinet for stub-cab and
// stub-extract.
#ifndef SFX_TOOLS_SFXBUILD_FOLDER_CABINET_H
#define SFX_TOOLS_SFXBUILD_FOLDER_CABINET_H

#include <stdio.h>

#include <string>

// Writes a cabinet of every file below `folder` to `out`, names relative to
// `folder` with '\\' between their parts. Warnings go to stderr. Returns an
// empty text on success, otherwise what went wrong.
std::string WriteFolderCabinet(const char* folder, FILE* out);

#endif  // SFX_TOOLS_SFXBUILD_FOLDER_CABINET_H
