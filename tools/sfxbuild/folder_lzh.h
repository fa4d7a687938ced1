// Turns a folder of token folders into an LZH archive for stub-lzh.
#ifndef SFX_TOOLS_SFXBUILD_FOLDER_LZH_H
#define SFX_TOOLS_SFXBUILD_FOLDER_LZH_H

#include <stdio.h>

#include <string>
#include <vector>

#include "folder_tree.h"
#include "lzh/encode.h"

// Writes every file and folder of `tree` to `out`. Returns an empty text
// on success, otherwise what went wrong.
std::string WriteFolderLzh(const std::vector<TreeEntry>& tree, FILE* out, lzh::PackMethod method, int level);

#endif  // SFX_TOOLS_SFXBUILD_FOLDER_LZH_H
