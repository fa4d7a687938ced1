// sfxbuild verify FILE: checks a built file as the stub does and prints
// its settings.
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "commands.h"
#include "host_file.h"

int ReadBuiltFile(File& in, payload::Splitter* splitter, payload::Splitter::Verdict* verdict) {
  if (!in.get()) return Fail("cannot read %s: %s", in.path(), strerror(errno));
  static unsigned char buffer[kChunk];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, in.get())) != 0) splitter->Feed(buffer, got);
  if (ferror(in.get())) return Fail("cannot read %s: %s", in.path(), strerror(errno));
  *verdict = splitter->Finish();
  return 0;
}

namespace {

bool CountOnly(void*, const uint8_t*, size_t) { return true; }

}  // namespace

int Verify(const char* path) {
  payload::Splitter splitter(io::Sink{nullptr, CountOnly});
  payload::Splitter::Verdict verdict;
  File in(path, "rb");
  if (int failed = ReadBuiltFile(in, &splitter, &verdict)) return failed;
  if (verdict == payload::Splitter::Verdict::kNoBlock) {
    printf("%s: no payload block\n", path);
    return 1;
  }
  const payload::BlockFields& fields = splitter.fields();
  printf("self-removal: %s\n", fields.selfRemoval ? "yes" : "no");
  printf("final command: \"%s\"\n", fields.finalCommand);
  printf("payload block: offset %llu\n", static_cast<unsigned long long>(splitter.blockOffset()));
  printf("archive: offset %llu, %llu bytes\n",
         static_cast<unsigned long long>(splitter.blockOffset() + payload::kBlockSize),
         static_cast<unsigned long long>(splitter.archiveSize()));
  bool intact = verdict == payload::Splitter::Verdict::kIntact;
  printf("sums: %s\n", intact ? "agree" : "DIFFER (the stub refuses this file)");
  return intact ? 0 : 1;
}
