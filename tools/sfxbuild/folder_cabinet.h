// Turns a folder of token folders into a cabinet for stub-cab and
// stub-extract.
#ifndef SFX_TOOLS_SFXBUILD_FOLDER_CABINET_H
#define SFX_TOOLS_SFXBUILD_FOLDER_CABINET_H

#include <stdio.h>

#include <string>
#include <vector>

#include "folder_tree.h"

// Writes a cabinet of the files of `tree` to `out`. Returns an empty text
// on success, otherwise what went wrong.
std::string WriteFolderCabinet(const std::vector<TreeEntry>& tree, FILE* out);

#endif  // SFX_TOOLS_SFXBUILD_FOLDER_CABINET_H
