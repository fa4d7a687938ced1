// libFuzzer target: the private-profile reader and the builder's check of
// a Setup.ini over arbitrary bytes. The reader's sections and keys must
// follow the file's lines, and every finding must name a line of the file
// and say something. The archive answers by a hash of the path, so that
// found and missing files both occur.
#include <stdlib.h>
#include <string.h>

#include "ini/reader.h"
#include "setup/ini_check.h"

namespace {

void Check(bool holds) {
  if (!holds) abort();
}

bool HalfTheFiles(void*, const char* path) {
  unsigned hash = 5381;
  for (const char* p = path; *p; ++p) hash = hash * 33 + static_cast<unsigned char>(*p);
  return hash & 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // In a buffer of its own exact size, so that a read past the end is caught.
  char* bytes = static_cast<char*>(malloc(size ? size : 1));
  memcpy(bytes, data, size);

  size_t lines = 0;
  profile::LineReader reader(bytes, size);
  profile::Line line;
  while (reader.Next(&line)) {
    Check(line.text >= bytes && line.text + line.length <= bytes + size && line.number == ++lines);
  }

  profile::Profile p(bytes, size);
  size_t last = 0;
  for (const profile::Section& section : p.sections()) {
    Check(section.line > last && section.line <= lines);
    last = section.line;
    for (const profile::Entry& entry : section.entries) {
      Check(entry.line > last && entry.line <= lines && entry.value.size() <= entry.written.size());
      last = entry.line;
    }
  }
  for (const profile::Stray& stray : p.strays()) Check(stray.line >= 1 && stray.line <= lines);

  const setup::ShellFolder shell = {nullptr, HalfTheFiles};
  const setup::ShellFolder* const folders[] = {nullptr, &shell};
  for (const setup::ShellFolder* folder : folders) {
    for (const setup::Finding& finding : setup::CheckSetupIni(bytes, size, folder))
      Check(finding.line >= 1 && finding.line <= lines && !finding.message.empty());
  }
  free(bytes);
  return 0;
}
