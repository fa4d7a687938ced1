// sfxbuild: makes and checks built self-extracting files.
//
//   sfxbuild pack --stub STUB.exe --archive FILE [--self-delete] [--final CMD] -o OUT.exe
//   sfxbuild pack --format lzh|cab|extract|exe --from FOLDER [--stub STUB.exe] [--method lh5|lh6|lh7|lh0]
//                 [--level 0..9] [--inner INNER.exe] [--self-delete] [--final CMD] [--strict] -o OUT.exe
//   sfxbuild check [--strict] FOLDER | Setup.ini
//   sfxbuild verify FILE
//   sfxbuild list FILE
//
// Exit codes: 0 success, 1 failure (message on stderr), 2 bad usage.
#include <stdio.h>
#include <string.h>

#include "commands.h"
#include "thousands.h"

int Fail(const char* format, const char* a, const char* b) {
  fputs("sfxbuild: error: ", stderr);
  fprintf(stderr, format, a, b);
  fputc('\n', stderr);
  return 1;
}

int Usage() {
  fputs(
      "usage: sfxbuild pack --stub STUB.exe --archive FILE [--self-delete] [--final CMD] -o OUT.exe\n"
      "       sfxbuild pack --format lzh|cab|extract|exe --from FOLDER [--stub STUB.exe]\n"
      "                     [--method lh5|lh6|lh7|lh0] [--level 0..9] [--inner INNER.exe]\n"
      "                     [--self-delete] [--final CMD] [--strict] -o OUT.exe\n"
      "       sfxbuild check [--strict] FOLDER | Setup.ini\n"
      "       sfxbuild verify FILE\n"
      "       sfxbuild list FILE\n",
      stderr);
  return 2;
}

std::string Grouped(uint64_t value) {
  char text[thousands::kMaxSize];
  thousands::Group(text, value, false);
  return text;
}

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "pack") == 0) return PackCommand(argc - 2, argv + 2);
  if (argc >= 2 && strcmp(argv[1], "check") == 0) return CheckCommand(argc - 2, argv + 2);
  if (argc == 3 && strcmp(argv[1], "verify") == 0) return Verify(argv[2]);
  if (argc == 3 && strcmp(argv[1], "list") == 0) return List(argv[2]);
  return Usage();
}
