// The folder an author packs: token folders at its top, whatever lies
// below them. Shared by every archive format sfxbuild writes.
#ifndef SFX_TOOLS_SFXBUILD_FOLDER_TREE_H
#define SFX_TOOLS_SFXBUILD_FOLDER_TREE_H

#include <stdint.h>
#include <time.h>

#include <string>
#include <vector>

#include "host_file.h"

struct TreeEntry {
  std::string name;   // relative, '\\' between parts, code page 932 bytes
  std::string path;   // where it lies on this machine, for messages
  NativePath native;  // what opens it
  bool isFolder;
  uint64_t size;
  time_t modified;
  bool readOnly;
};

// Lists everything below `folder`, parents before their contents, in name
// order. Names are turned into code page 932, the code page the stubs read
// them in; one that has no such form is an error. With `warnAtTop`, warns
// on stderr about what the stubs would never distribute: files at the top,
// top-level folders whose name is no destination token, and a Setup.ini
// or Setup.exe at the top of an "[Application]\<name>" folder. Returns an
// empty text on success, otherwise what went wrong.
std::string ListFolder(const char* folder, std::vector<TreeEntry>* entries, bool warnAtTop = true);

// A progress line on a terminal, shown once packing has taken a second.
class Progress {
 public:
  explicit Progress(uint64_t totalBytes);
  ~Progress();
  void Add(uint64_t bytes);

 private:
  uint64_t total_, done_ = 0;
  double start_;
  bool shown_ = false;
  bool terminal_;
};

// Warns about a final command that would open nothing: one that starts
// with no token and is no full path.
void CheckFinalCommand(const char* command);

#endif  // SFX_TOOLS_SFXBUILD_FOLDER_TREE_H
