// Reading one folder as the system lists it, for the folder walk: the one
// part of it that differs between Windows and the rest.
#ifndef SFX_TOOLS_SFXBUILD_FOLDER_READ_H
#define SFX_TOOLS_SFXBUILD_FOLDER_READ_H

#include <stdint.h>
#include <time.h>

#include <string>
#include <vector>

#include "host_file.h"

struct FolderChild {
  NativePath native;     // what opens it
  std::string shown;     // its path, for messages
  std::string shownName; // its name, for messages
  // Its name in code page 932, the code page the stubs read names in;
  // `named` is false when the name has no such form.
  std::string stored;
  bool named;
  bool found;     // false: what it is could not be read
  bool isFolder;
  bool isFile;    // a plain file; devices, sockets and the like are neither
  uint64_t size;
  time_t modified;
  bool readOnly;
};

// The entries of folder `native` (`shown` in messages) other than "." and
// "..", in the order they are packed. False when the folder cannot be read.
bool ReadFolder(const NativePath& native, const std::string& shown, std::vector<FolderChild>* children);

// Whether `path`, as typed on the command line, names a folder; sets the
// form that opens it.
bool FindFolder(const char* path, NativePath* native);

#endif  // SFX_TOOLS_SFXBUILD_FOLDER_READ_H
